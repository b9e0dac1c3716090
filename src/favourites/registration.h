#pragma once

#include "store/outcome.h"

#include <QString>

namespace rusena {

/// The registration box holds at most this many characters.
inline constexpr int RegistrationMaxLength = 4;

/// True when a typed character may enter the registration box: ASCII digits only.
bool acceptsRegistrationChar(QChar ch);

/// The text the box holds after `typed` is inserted into `current` at `cursor`: text with
/// anything but digits is refused whole, and the box never grows past four characters (what
/// does not fit is cut off). Paste goes through here too.
QString filteredRegistrationText(const QString &current, int cursor, const QString &typed);

/// Asked when OK is pressed with an empty box.
Message emptyRegistrationMessage();
/// Shown after the settings were written.
Message settingsSavedMessage();
/// Shown when player.dat could not be written.
Message settingsWriteFailedMessage();
/// Shown at start-up when player.dat exists but cannot be read.
Message settingsUnreadableMessage();

} // namespace rusena
