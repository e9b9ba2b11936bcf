#pragma once

#include <QStringView>

// The trigger declarations that the Triggers menu writes into a script. Each
// is written exactly as it stands; none is derived from a menu caption.
namespace TriggerKeywords {

inline constexpr QStringView doubleClick = u"ONTRIGGER=DCLICK";
inline constexpr QStringView step = u"ONTRIGGER=STEP";
inline constexpr QStringView timer = u"ONTRIGGER=TIMER";
inline constexpr QStringView unequip = u"ONTRIGGER=UNEQUIP";
inline constexpr QStringView spell = u"ONTRIGGER=SPELL";
inline constexpr QStringView equip = u"ONTRIGGER=EQUIP";
inline constexpr QStringView dropOnGround = u"ONTRIGGER=DROPON_GROUND";
inline constexpr QStringView dropOnChar = u"ONTRIGGER=DROPON_CHAR";
inline constexpr QStringView damage = u"ONTRIGGER=DAMAGE";
inline constexpr QStringView hear = u"ONTRIGGER=HEAR";

} // namespace TriggerKeywords
