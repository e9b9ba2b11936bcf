#pragma once

#include <QStringView>

// The trigger declarations that the Triggers menu writes into a script. Each
// is written exactly as it stands; none is derived from a menu caption.
namespace TriggerKeywords {

inline constexpr QStringView Dclick = u"ONTRIGGER=DCLICK";
inline constexpr QStringView Step = u"ONTRIGGER=STEP";
inline constexpr QStringView Time = u"ONTRIGGER=TIMER";
inline constexpr QStringView Unequip = u"ONTRIGGER=UNEQUIP";
inline constexpr QStringView Spell = u"ONTRIGGER=SPELL";
inline constexpr QStringView Equip = u"ONTRIGGER=EQUIP";
inline constexpr QStringView Dropongr = u"ONTRIGGER=DROPON_GROUND";
inline constexpr QStringView DRPCHAR = u"ONTRIGGER=DROPON_CHAR";
inline constexpr QStringView Dmg = u"ONTRIGGER=DAMAGE";
inline constexpr QStringView Hear = u"ONTRIGGER=HEAR";

} // namespace TriggerKeywords
