#include "editor/StyleTable.h"

#include <algorithm>

StyleTable::StyleTable(FontChoice base) { formats_[baseStyle] = std::move(base); }

bool StyleTable::isUsable(int style) { return style < 32 || style > 39; }

const FontChoice& StyleTable::format(int style) const
{
    const auto& format = formats_.at(size_t(style));
    return format ? *format : *formats_[baseStyle];
}

void StyleTable::setBaseFormat(const FontChoice& format) { formats_[baseStyle] = format; }

std::optional<int> StyleTable::find(const FontChoice& format) const
{
    const auto at = std::find(formats_.begin(), formats_.end(), format);
    return at == formats_.end() ? std::nullopt : std::optional<int>(int(at - formats_.begin()));
}

std::optional<int> StyleTable::add(const FontChoice& format)
{
    for (int style = 0; style < styleCount; ++style) {
        if (isUsable(style) && !formats_[size_t(style)]) {
            formats_[size_t(style)] = format;
            return style;
        }
    }
    return std::nullopt;
}

std::vector<int> StyleTable::keepOnly(const StyleSet& used)
{
    std::vector<int> freed;
    for (int style = 0; style < styleCount; ++style) {
        if (style != baseStyle && formats_[size_t(style)] && !used.test(size_t(style))) {
            formats_[size_t(style)].reset();
            freed.push_back(style);
        }
    }
    return freed;
}

void StyleTable::clear() { keepOnly({}); }
