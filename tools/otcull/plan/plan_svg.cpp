#include "plan/plan_svg.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "plan/svg_writer.h"

namespace tarvo {
namespace {

namespace colour {
constexpr const char* kPaper = "#f7f5f0";
constexpr const char* kInk = "#26303b";
constexpr const char* kMuted = "#6b7785";
constexpr const char* kPanel = "#ffffff";
constexpr const char* kZoneShown = "#c4dcf6";
constexpr const char* kZoneHidden = "#ebebe8";
constexpr const char* kZoneLine = "#4a5a6e";
constexpr const char* kCameraZoneLine = "#1f5fa8";
constexpr const char* kNodeShown = "#2f8f5b";
constexpr const char* kNodeShownLine = "#1d6640";
constexpr const char* kNodeHiddenLine = "#a3acb6";
constexpr const char* kPassed = "#17a34a";
constexpr const char* kOpen = "#f0a020";
constexpr const char* kDisabled = "#d0342c";
constexpr const char* kWedge = "#ffc629";
constexpr const char* kWedgeLine = "#d99a00";
constexpr const char* kCamera = "#1c2228";
}  // namespace colour

constexpr const char* kFont = "Helvetica, Arial, sans-serif";
constexpr double kMargin = 24;
constexpr double kHeader = 58;
constexpr double kPanelTitle = 22;
constexpr double kPanelGap = 18;
constexpr double kPanelMaxWidth = 760;
constexpr double kPanelMaxHeight = 520;
constexpr double kSideWidth = 250;
constexpr double kWorldMargin = 2.0;  // metres of air around the scene

struct WorldRect {
    double minX, minZ, maxX, maxZ;
    double width() const { return maxX - minX; }
    double depth() const { return maxZ - minZ; }
};

// World x runs right, world z runs up the page (north up).
struct PanelMap {
    double left, top, scale;
    WorldRect world;
    double x(double wx) const { return left + (wx - world.minX) * scale; }
    double y(double wz) const { return top + (world.maxZ - wz) * scale; }
    double width() const { return world.width() * scale; }
    double height() const { return world.depth() * scale; }
};

WorldRect sceneBounds(const PlanScene& scene) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    WorldRect r{kInf, kInf, -kInf, -kInf};
    auto include = [&r](double x, double z) {
        r.minX = std::min(r.minX, x);
        r.maxX = std::max(r.maxX, x);
        r.minZ = std::min(r.minZ, z);
        r.maxZ = std::max(r.maxZ, z);
    };
    for (const PlanNode& n : scene.nodes) {
        include(n.extent.min[0], n.extent.min[2]);
        include(n.extent.max[0], n.extent.max[2]);
    }
    if (scene.camera && std::isfinite(scene.camera->position[0]) &&
        std::isfinite(scene.camera->position[2])) {
        include(scene.camera->position[0], scene.camera->position[2]);
    }
    if (r.minX > r.maxX) return {-10, -10, 10, 10};
    return {r.minX - kWorldMargin, r.minZ - kWorldMargin, r.maxX + kWorldMargin,
            r.maxZ + kWorldMargin};
}

bool onLevel(const PlanExtent& e, const PlanLevel& level) {
    return e.max[1] >= level.minY && e.min[1] < level.maxY;
}

double area(const PlanExtent& e) {
    return (e.max[0] - e.min[0]) * (e.max[2] - e.min[2]);
}

// The frustum's slice at the camera's height: the panel rectangle clipped by
// each plane in turn (a x + c z + (b y + d) > 0 keeps a point).
std::vector<SvgPoint> frustumSlice(const PlanCamera& camera, const WorldRect& world) {
    std::vector<SvgPoint> polygon = {{world.minX, world.minZ},
                                     {world.maxX, world.minZ},
                                     {world.maxX, world.maxZ},
                                     {world.minX, world.maxZ}};
    const double y = camera.position[1];
    for (const Plane& p : camera.planes) {
        auto distance = [&](const SvgPoint& q) { return p.a * q.x + p.c * q.y + (p.b * y + p.d); };
        std::vector<SvgPoint> kept;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const SvgPoint& from = polygon[i];
            const SvgPoint& to = polygon[(i + 1) % polygon.size()];
            const double df = distance(from);
            const double dt = distance(to);
            if (df > 0) kept.push_back(from);
            if ((df > 0) != (dt > 0) && std::isfinite(df) && std::isfinite(dt)) {
                const double t = df / (df - dt);
                kept.push_back({from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)});
            }
        }
        polygon.swap(kept);
        if (polygon.empty()) break;
    }
    return polygon;
}

void drawZones(SvgWriter& svg, const PanelMap& map, std::vector<const PlanNode*> zones) {
    // Outer zones first, so nested ones sit on top of them.
    std::stable_sort(zones.begin(), zones.end(), [](const PlanNode* a, const PlanNode* b) {
        return area(a->extent) > area(b->extent);
    });
    for (const PlanNode* n : zones) {
        const bool shown = n->visible && n->reached;
        const char* fill = n->cameraZone ? colour::kZoneShown
                           : shown       ? colour::kZoneShown
                                         : colour::kZoneHidden;
        const char* line = n->cameraZone ? colour::kCameraZoneLine : colour::kZoneLine;
        const std::string width = n->cameraZone ? "3" : "1.2";
        const double x0 = map.x(n->extent.min[0]);
        const double y0 = map.y(n->extent.max[2]);
        if (n->shape == PlanShape::kBox) {
            svg.rect(x0, y0, map.x(n->extent.max[0]) - x0, map.y(n->extent.min[2]) - y0,
                     {{"fill", fill},
                      {"fill-opacity", "0.72"},
                      {"stroke", line},
                      {"stroke-width", width}});
        } else {
            const double r = (n->extent.max[0] - n->extent.min[0]) / 2 * map.scale;
            svg.circle(x0 + r, y0 + r, r,
                       {{"fill", fill},
                        {"fill-opacity", "0.72"},
                        {"stroke", line},
                        {"stroke-width", width}});
        }
    }
}

void drawNode(SvgWriter& svg, const PanelMap& map, const PlanNode& n) {
    const bool filled = n.visible;
    const char* fill = filled ? colour::kNodeShown : "none";
    const char* line = filled ? colour::kNodeShownLine : colour::kNodeHiddenLine;
    const double x0 = map.x(n.extent.min[0]);
    const double y0 = map.y(n.extent.max[2]);
    const double w = std::max(map.x(n.extent.max[0]) - x0, 2.0);
    const double h = std::max(map.y(n.extent.min[2]) - y0, 2.0);
    if (n.shape == PlanShape::kBox) {
        svg.rect(
            x0, y0, w, h,
            {{"fill", fill}, {"fill-opacity", "0.85"}, {"stroke", line}, {"stroke-width", "1.2"}});
    } else {
        const double r = n.shape == PlanShape::kPoint ? 3.0 : std::max(w / 2, 2.0);
        svg.circle(
            x0 + w / 2, y0 + h / 2, r,
            {{"fill", fill}, {"fill-opacity", "0.85"}, {"stroke", line}, {"stroke-width", "1.2"}});
    }
}

const char* portalColour(PortalState state) {
    switch (state) {
        case PortalState::kPassed:
            return colour::kPassed;
        case PortalState::kOpen:
            return colour::kOpen;
        case PortalState::kDisabled:
            return colour::kDisabled;
    }
    return colour::kOpen;
}

// Doors and windows are thin in plan: a bar along their long side. Openings
// in a floor or ceiling (thinner in height than across) are drawn as hatches.
void drawPortal(SvgWriter& svg, const PanelMap& map, const PlanPortal& p) {
    const PlanExtent& e = p.opening;
    const double dx = e.max[0] - e.min[0];
    const double dy = e.max[1] - e.min[1];
    const double dz = e.max[2] - e.min[2];
    const char* stroke = portalColour(p.state);
    if (dy < std::min(dx, dz)) {
        const double x0 = map.x(e.min[0]);
        const double y0 = map.y(e.max[2]);
        svg.rect(x0, y0, dx * map.scale, dz * map.scale,
                 {{"fill", stroke},
                  {"fill-opacity", "0.25"},
                  {"stroke", stroke},
                  {"stroke-width", "2"},
                  {"stroke-dasharray", "4 2"}});
        return;
    }
    const double cx = (e.min[0] + e.max[0]) / 2;
    const double cz = (e.min[2] + e.max[2]) / 2;
    const bool alongX = dx >= dz;
    const double x1 = alongX ? e.min[0] : cx, x2 = alongX ? e.max[0] : cx;
    const double z1 = alongX ? cz : e.min[2], z2 = alongX ? cz : e.max[2];
    svg.line(map.x(x1), map.y(z1), map.x(x2), map.y(z2),
             {{"stroke", stroke}, {"stroke-width", "5"}, {"stroke-linecap", "round"}});
    if (p.leadsOutside) {
        svg.line(map.x(x1), map.y(z1), map.x(x2), map.y(z2),
                 {{"stroke", "#ffffff"}, {"stroke-width", "1.4"}});
    }
}

// The wedge lies over the zones, hatched so that their colours stay
// readable, with a firm edge so that it reads as one shape.
std::vector<SvgPoint> wedgeOnPage(const PanelMap& map, const PlanCamera& camera) {
    std::vector<SvgPoint> onPage;
    for (const SvgPoint& q : frustumSlice(camera, map.world)) {
        onPage.push_back({map.x(q.x), map.y(q.y)});
    }
    return onPage.size() >= 3 ? onPage : std::vector<SvgPoint>{};
}

void drawWedgeFill(SvgWriter& svg, const std::vector<SvgPoint>& wedge) {
    if (wedge.empty()) return;
    svg.polygon(wedge, {{"fill", colour::kWedge}, {"fill-opacity", "0.12"}, {"stroke", "none"}});
    svg.polygon(wedge, {{"fill", "url(#wedge-hatch)"}, {"stroke", "none"}});
}

void drawWedgeEdge(SvgWriter& svg, const std::vector<SvgPoint>& wedge) {
    if (wedge.empty()) return;
    svg.polygon(wedge, {{"fill", "none"},
                        {"stroke", colour::kWedgeLine},
                        {"stroke-width", "1.4"},
                        {"stroke-linejoin", "round"}});
}

void drawCameraMark(SvgWriter& svg, const PanelMap& map, const PlanCamera& camera) {
    svg.circle(map.x(camera.position[0]), map.y(camera.position[2]), 5.5,
               {{"fill", colour::kCamera}, {"stroke", "#ffffff"}, {"stroke-width", "1.8"}});
}

void drawScaleBar(SvgWriter& svg, const PanelMap& map) {
    static constexpr double kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    double metres = kSteps[0];
    for (double step : kSteps) {
        if (step * map.scale <= 120) metres = step;
    }
    const double x = map.left + 12;
    const double y = map.top + map.height() - 12;
    const double w = metres * map.scale;
    svg.line(x, y, x + w, y, {{"stroke", colour::kInk}, {"stroke-width", "2"}});
    svg.line(x, y - 4, x, y + 1, {{"stroke", colour::kInk}, {"stroke-width", "1.5"}});
    svg.line(x + w, y - 4, x + w, y + 1, {{"stroke", colour::kInk}, {"stroke-width", "1.5"}});
    svg.text(x + w + 6, y + 4, SvgWriter::number(metres) + " m",
             {{"font-family", kFont}, {"font-size", "11"}, {"fill", colour::kInk}});
}

void drawPanel(SvgWriter& svg, const PanelMap& map, const PlanScene& scene, const PlanLevel& level,
               int index) {
    svg.text(map.left, map.top - 7, level.title,
             {{"font-family", kFont},
              {"font-size", "13"},
              {"font-weight", "bold"},
              {"fill", colour::kInk}});
    svg.rect(map.left, map.top, map.width(), map.height(),
             {{"fill", colour::kPanel}, {"stroke", "#c9ced4"}, {"stroke-width", "1"}});
    const std::string clip = "panel" + std::to_string(index);
    svg.clipRect(clip, map.left, map.top, map.width(), map.height());
    svg.beginGroup({{"clip-path", "url(#" + clip + ")"}});

    std::vector<const PlanNode*> zones;
    for (const PlanNode& n : scene.nodes) {
        if (n.isZone && onLevel(n.extent, level)) zones.push_back(&n);
    }
    const bool cameraHere = scene.camera && scene.camera->position[1] >= level.minY &&
                            scene.camera->position[1] < level.maxY;
    const std::vector<SvgPoint> wedge =
        cameraHere ? wedgeOnPage(map, *scene.camera) : std::vector<SvgPoint>{};
    drawZones(svg, map, zones);
    drawWedgeFill(svg, wedge);
    drawWedgeEdge(svg, wedge);
    for (const PlanNode& n : scene.nodes) {
        if (!n.isZone && !n.isOpening && onLevel(n.extent, level)) drawNode(svg, map, n);
    }
    for (const PlanPortal& p : scene.portals) {
        if (onLevel(p.opening, level)) drawPortal(svg, map, p);
    }
    if (cameraHere) drawCameraMark(svg, map, *scene.camera);
    svg.endGroup();
    drawScaleBar(svg, map);
}

struct LegendEntry {
    const char* label;
    void (*draw)(SvgWriter& svg, double x, double y);
};

void legendZone(SvgWriter& svg, double x, double y, const char* fill, const char* line,
                const char* width = "1.2") {
    svg.rect(x, y - 9, 22, 12, {{"fill", fill}, {"stroke", line}, {"stroke-width", width}});
}

void legendBar(SvgWriter& svg, double x, double y, const char* stroke) {
    svg.line(x + 2, y - 3, x + 20, y - 3,
             {{"stroke", stroke}, {"stroke-width", "5"}, {"stroke-linecap", "round"}});
}

constexpr LegendEntry kLegend[] = {
    {"camera zone",
     [](SvgWriter& s, double x, double y) {
         legendZone(s, x, y, colour::kZoneShown, colour::kCameraZoneLine, "2.6");
     }},
    {"zone shown", [](SvgWriter& s, double x,
                      double y) { legendZone(s, x, y, colour::kZoneShown, colour::kZoneLine); }},
    {"zone hidden or not reached",
     [](SvgWriter& s, double x, double y) {
         legendZone(s, x, y, colour::kZoneHidden, colour::kZoneLine);
     }},
    {"node shown",
     [](SvgWriter& s, double x, double y) {
         s.rect(x + 5, y - 9, 12, 12,
                {{"fill", colour::kNodeShown}, {"stroke", colour::kNodeShownLine}});
     }},
    {"node hidden",
     [](SvgWriter& s, double x, double y) {
         s.rect(x + 5, y - 9, 12, 12,
                {{"fill", "none"}, {"stroke", colour::kNodeHiddenLine}, {"stroke-width", "1.2"}});
     }},
    {"portal the pass went through",
     [](SvgWriter& s, double x, double y) { legendBar(s, x, y, colour::kPassed); }},
    {"portal open, not passed",
     [](SvgWriter& s, double x, double y) { legendBar(s, x, y, colour::kOpen); }},
    {"portal disabled",
     [](SvgWriter& s, double x, double y) { legendBar(s, x, y, colour::kDisabled); }},
    {"window (leads outside)",
     [](SvgWriter& s, double x, double y) {
         legendBar(s, x, y, colour::kPassed);
         s.line(x + 2, y - 3, x + 20, y - 3, {{"stroke", "#ffffff"}, {"stroke-width", "1.4"}});
     }},
    {"camera and frustum",
     [](SvgWriter& s, double x, double y) {
         s.polygon({{x, y - 3}, {x + 22, y - 11}, {x + 22, y + 5}},
                   {{"fill", "url(#wedge-hatch)"}, {"stroke", colour::kWedgeLine}});
         s.circle(x + 2, y - 3, 4, {{"fill", colour::kCamera}, {"stroke", "#ffffff"}});
     }},
};

double drawLegend(SvgWriter& svg, double x, double y) {
    svg.text(x, y, "Legend",
             {{"font-family", kFont},
              {"font-size", "13"},
              {"font-weight", "bold"},
              {"fill", colour::kInk}});
    y += 22;
    for (const LegendEntry& entry : kLegend) {
        entry.draw(svg, x, y);
        svg.text(x + 32, y, entry.label,
                 {{"font-family", kFont}, {"font-size", "12"}, {"fill", colour::kInk}});
        y += 21;
    }
    return y;
}

void drawFigures(SvgWriter& svg, double x, double y, const std::vector<PlanFigure>& figures) {
    if (figures.empty()) return;
    svg.text(x, y, "This frame",
             {{"font-family", kFont},
              {"font-size", "13"},
              {"font-weight", "bold"},
              {"fill", colour::kInk}});
    y += 20;
    for (const PlanFigure& f : figures) {
        svg.text(x, y, f.label,
                 {{"font-family", kFont}, {"font-size", "12"}, {"fill", colour::kMuted}});
        svg.text(x + kSideWidth - 20, y, f.value,
                 {{"font-family", kFont},
                  {"font-size", "12"},
                  {"fill", colour::kInk},
                  {"text-anchor", "end"},
                  {"font-weight", "bold"}});
        y += 18;
    }
}

}  // namespace

std::string renderPlanSvg(const PlanScene& scene, const PlanPicture& picture) {
    std::vector<PlanLevel> levels = picture.levels;
    if (levels.empty()) {
        constexpr float kInf = std::numeric_limits<float>::infinity();
        levels.push_back({"Plan", -kInf, kInf});
    }
    const WorldRect world = sceneBounds(scene);
    const double scale = std::min(kPanelMaxWidth / world.width(), kPanelMaxHeight / world.depth());
    const double panelHeight = world.depth() * scale;
    const double panelsHeight =
        static_cast<double>(levels.size()) * (kPanelTitle + panelHeight + kPanelGap) - kPanelGap;
    const double width = kMargin + world.width() * scale + kMargin + kSideWidth + kMargin;
    const double height = kHeader + std::max(panelsHeight, 420.0) + kMargin;

    SvgWriter svg(width, height);
    svg.hatch("wedge-hatch", colour::kWedgeLine, 7, 1.3);
    svg.rect(0, 0, width, height, {{"fill", colour::kPaper}});
    svg.text(kMargin, 30, picture.title,
             {{"font-family", kFont},
              {"font-size", "19"},
              {"font-weight", "bold"},
              {"fill", colour::kInk}});
    svg.text(kMargin, 48, picture.subtitle,
             {{"font-family", kFont}, {"font-size", "12"}, {"fill", colour::kMuted}});
    double top = kHeader + kPanelTitle;
    for (size_t i = 0; i < levels.size(); ++i) {
        drawPanel(svg, {kMargin, top, scale, world}, scene, levels[i], static_cast<int>(i));
        top += panelHeight + kPanelTitle + kPanelGap;
    }
    const double sideX = kMargin + world.width() * scale + kMargin;
    const double legendEnd = drawLegend(svg, sideX, kHeader + kPanelTitle - 6);
    drawFigures(svg, sideX, legendEnd + 16, picture.figures);
    return svg.finish();
}

}  // namespace tarvo
