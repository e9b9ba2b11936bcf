#pragma once

#include "platform/FontChoice.h"

#include <array>
#include <bitset>
#include <optional>
#include <vector>

// Which character format each of the engine's styles shows. A character's
// formatting is its style number; style 0 is the base format, and the engine
// keeps 32..39 for its own use. Formats are few (a script's few highlighted
// words), but the table is small: once it is full, styles no longer used by
// any character are reclaimed.
class StyleTable {
public:
    static constexpr int styleCount = 256;
    static constexpr int baseStyle = 0;
    using StyleSet = std::bitset<styleCount>;

    explicit StyleTable(FontChoice base);

    const FontChoice& format(int style) const;
    void setBaseFormat(const FontChoice& format);
    std::optional<int> find(const FontChoice& format) const;
    // A new style for format, or std::nullopt when every style is taken.
    std::optional<int> add(const FontChoice& format);
    // Frees every style but the base that is not in used, and returns them.
    std::vector<int> keepOnly(const StyleSet& used);
    // Back to the base style alone.
    void clear();

private:
    static bool isUsable(int style);

    std::array<std::optional<FontChoice>, styleCount> formats_;
};
