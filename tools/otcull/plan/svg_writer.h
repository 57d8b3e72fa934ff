// A small SVG writer: elements appended in drawing order, attributes given as
// name/value pairs, numbers written with two decimals so files diff well.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo {

struct SvgPoint {
    double x, y;
};

class SvgWriter {
public:
    using Attributes = std::initializer_list<std::pair<std::string_view, std::string>>;

    SvgWriter(double width, double height);

    static std::string number(double value);

    void rect(double x, double y, double width, double height, Attributes attributes);
    void circle(double cx, double cy, double r, Attributes attributes);
    void line(double x1, double y1, double x2, double y2, Attributes attributes);
    void polygon(const std::vector<SvgPoint>& points, Attributes attributes);
    void text(double x, double y, std::string_view content, Attributes attributes);
    // Everything until endGroup is drawn with these attributes (and clipped,
    // when a clip id is given as clip-path).
    void beginGroup(Attributes attributes);
    void endGroup();
    void clipRect(std::string_view id, double x, double y, double width, double height);
    // Diagonal lines to fill with as url(#id), leaving what lies below readable.
    void hatch(std::string_view id, std::string_view colour, double spacing, double width);

    // The finished document.
    std::string finish();

private:
    void open(std::string_view element, Attributes attributes);

    std::string body_;
    double width_;
    double height_;
    int openGroups_ = 0;
};

}  // namespace tarvo
