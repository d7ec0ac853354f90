#include "gui/colours.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// The luminance at which black and white contrast equally with a colour:
// below it light colours stand out more, above it dark ones.
constexpr double kMidLuminance = 0.1791;

bool Reaches(const QColor& colour, std::initializer_list<QColor> backgrounds, double ratio) {
    return std::all_of(backgrounds.begin(), backgrounds.end(),
                       [&](const QColor& b) { return ContrastRatio(colour, b) >= ratio; });
}

} // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double x = RelativeLuminance(a) + 0.05;
    const double y = RelativeLuminance(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}

QColor Mix(const QColor& a, const QColor& b, double share) {
    const QColor x = a.toRgb(), y = b.toRgb();
    const auto mix = [share](float p, float q) { return float(p * share + q * (1 - share)); };
    return QColor::fromRgbF(mix(x.redF(), y.redF()), mix(x.greenF(), y.greenF()),
                            mix(x.blueF(), y.blueF()));
}

bool IsDark(const QPalette& palette) {
    return RelativeLuminance(palette.color(QPalette::Base)) <
           RelativeLuminance(palette.color(QPalette::Text));
}

QColor WithContrast(const QColor& colour, std::initializer_list<QColor> backgrounds, double ratio) {
    if (backgrounds.size() == 0 || Reaches(colour, backgrounds, ratio)) return colour;
    const bool lighten = RelativeLuminance(*backgrounds.begin()) < kMidLuminance;
    float hue = 0, saturation = 0, lightness = 0, alpha = 1;
    colour.toHsl().getHslF(&hue, &saturation, &lightness, &alpha);
    hue = std::max(hue, 0.0f); // grey has no hue
    // Steps of one level in 255: the first that is enough keeps the colour as
    // close to the one asked for as the backgrounds allow.
    int level = int(std::lround(lightness * 255));
    QColor result = colour;
    while (lighten ? level < 255 : level > 0) {
        level += lighten ? 1 : -1;
        result = QColor::fromHslF(hue, saturation, float(level) / 255.0f, alpha);
        if (Reaches(result, backgrounds, ratio)) break;
    }
    return result;
}

QColor ErrorColour(const QPalette& palette) {
    const bool dark = IsDark(palette);
    return WithContrast(QColor::fromHsl(0, dark ? 200 : 220, dark ? 150 : 110),
                        {palette.color(QPalette::Base), palette.color(QPalette::Window)},
                        kTextContrast);
}

QColor ErrorLineBand(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    double share = 0.3;
    QColor band = Mix(ErrorColour(palette), window, share);
    while (share > 0.1 && ContrastRatio(text, band) < kTextContrast) {
        share -= 0.02;
        band = Mix(ErrorColour(palette), window, share);
    }
    return band;
}

QColor ErrorLineText(const QPalette& palette) {
    return WithContrast(palette.color(QPalette::WindowText), {ErrorLineBand(palette)},
                        kTextContrast);
}

namespace {
QColor MarkColour(const QPalette& palette, int hue) {
    const bool dark = IsDark(palette);
    return WithContrast(QColor::fromHsl(hue, dark ? 160 : 200, dark ? 150 : 80),
                        {palette.color(QPalette::Base)}, kTextContrast);
}
} // namespace

QColor PassColour(const QPalette& palette) {
    return MarkColour(palette, 120);
}

QColor FailColour(const QPalette& palette) {
    return MarkColour(palette, 0);
}

QColor PausedLineBand(const QPalette& palette) {
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    // A third of the highlight shows well on both kinds of base; less where
    // the text needs it.
    double share = 0.34;
    QColor band = Mix(highlight, base, share);
    while (share > 0.1 && ContrastRatio(text, band) < kTextContrast + 2) {
        share -= 0.02;
        band = Mix(highlight, base, share);
    }
    return band;
}

QColor ChangedBackground(const QPalette& palette) {
    return WithContrast(palette.color(QPalette::Highlight),
                        {palette.color(QPalette::HighlightedText)}, kTextContrast);
}

QColor ChangedText(const QPalette& palette) {
    return palette.color(QPalette::HighlightedText);
}

QColor SubduedText(const QPalette& palette, QPalette::ColorRole background) {
    const QColor behind = palette.color(background);
    const QColor text =
        palette.color(background == QPalette::Window ? QPalette::WindowText : QPalette::Text);
    return WithContrast(Mix(text, behind, 0.6), {behind}, kTextContrast);
}
