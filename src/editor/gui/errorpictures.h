#pragma once

#include "editor/validation.h"

#include <QPixmap>

#include <array>

namespace rv {

// The three status pictures of the "Hibák" frame, in the order no error, minor errors only,
// severe errors.
std::array<QPixmap, 3> errorPictures(int size = 32);

} // namespace rv
