#pragma once

class QLabel;

namespace rv {

// Each day cell of the editor's calendar carries its cell number (1..42) in this property.
inline constexpr char kCellProperty[] = "cell";

// The current day is blue; days off are grey, the rest white; a day with stops is bold.
void paintCell(QLabel* cell, bool current, bool dayOff = false, bool trips = false);

} // namespace rv
