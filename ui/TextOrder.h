// The alphabetical order of names in the windows' trees and lists.
#pragma once

#include <QString>

// Letter case is ignored first, then decides, so the order is total. Compared without
// folded copies.
bool TextLess(const QString& a, const QString& b);
