#include "plan/svg_writer.h"

#include <charconv>
#include <cmath>

namespace tarvo {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

SvgWriter::SvgWriter(double width, double height) : width_(width), height_(height) {}

std::string SvgWriter::number(double value) {
    if (!std::isfinite(value)) return "0";
    // Whole numbers without decimals, the rest with two; -0 reads as 0.
    const double rounded = std::round(value * 100.0) / 100.0;
    char buffer[48];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, rounded + 0.0, std::chars_format::fixed,
                      rounded == std::floor(rounded) ? 0 : 2);
    std::string text(buffer, end);
    if (text == "-0") text = "0";
    return text;
}

void SvgWriter::open(std::string_view element, Attributes attributes) {
    body_ += '<';
    body_ += element;
    for (const auto& [name, value] : attributes) {
        body_ += ' ';
        body_ += name;
        body_ += "=\"";
        body_ += escaped(value);
        body_ += '"';
    }
}

void SvgWriter::rect(double x, double y, double width, double height, Attributes attributes) {
    open("rect", attributes);
    body_ += " x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(width) +
             "\" height=\"" + number(height) + "\"/>\n";
}

void SvgWriter::circle(double cx, double cy, double r, Attributes attributes) {
    open("circle", attributes);
    body_ += " cx=\"" + number(cx) + "\" cy=\"" + number(cy) + "\" r=\"" + number(r) + "\"/>\n";
}

void SvgWriter::line(double x1, double y1, double x2, double y2, Attributes attributes) {
    open("line", attributes);
    body_ += " x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
             "\" y2=\"" + number(y2) + "\"/>\n";
}

void SvgWriter::polygon(const std::vector<SvgPoint>& points, Attributes attributes) {
    open("polygon", attributes);
    body_ += " points=\"";
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0) body_ += ' ';
        body_ += number(points[i].x) + "," + number(points[i].y);
    }
    body_ += "\"/>\n";
}

void SvgWriter::text(double x, double y, std::string_view content, Attributes attributes) {
    open("text", attributes);
    body_ += " x=\"" + number(x) + "\" y=\"" + number(y) + "\">" + escaped(content) + "</text>\n";
}

void SvgWriter::beginGroup(Attributes attributes) {
    open("g", attributes);
    body_ += ">\n";
    ++openGroups_;
}

void SvgWriter::endGroup() {
    if (openGroups_ == 0) return;
    body_ += "</g>\n";
    --openGroups_;
}

void SvgWriter::clipRect(std::string_view id, double x, double y, double width, double height) {
    body_ += "<clipPath id=\"" + escaped(id) + "\"><rect x=\"" + number(x) + "\" y=\"" + number(y) +
             "\" width=\"" + number(width) + "\" height=\"" + number(height) + "\"/></clipPath>\n";
}

void SvgWriter::hatch(std::string_view id, std::string_view colour, double spacing, double width) {
    const std::string step = number(spacing);
    body_ += "<pattern id=\"" + escaped(id) + "\" width=\"" + step + "\" height=\"" + step +
             "\" patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\"><line x1=\"0\" "
             "y1=\"0\" x2=\"0\" y2=\"" +
             step + "\" stroke=\"" + escaped(colour) + "\" stroke-width=\"" + number(width) +
             "\"/></pattern>\n";
}

std::string SvgWriter::finish() {
    while (openGroups_ > 0) endGroup();
    const std::string w = number(width_);
    const std::string h = number(height_);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n" + body_ +
           "</svg>\n";
}

}  // namespace tarvo
