// The plan view as an SVG picture: one top-down panel per level (a band of
// heights), a legend and the figures of the frame.
#pragma once

#include <string>
#include <vector>

#include "plan/plan_view.h"

namespace tarvo {

struct PlanLevel {
    std::string title;
    float minY;  // a node is drawn on every level its height range meets
    float maxY;
};

struct PlanFigure {
    std::string label;
    std::string value;
};

struct PlanPicture {
    std::string title;
    std::string subtitle;
    std::vector<PlanLevel> levels;  // empty: one level holding everything
    std::vector<PlanFigure> figures;
};

std::string renderPlanSvg(const PlanScene& scene, const PlanPicture& picture);

}  // namespace tarvo
