#pragma once

#include <QString>

#include <optional>

namespace rusena {

enum class MessageIcon { None, Information, Warning };
enum class MessageButtons { Ok, OkCancel };

/// A message box as the program shows it: caption, one line of text, icon, buttons.
struct Message final {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    friend bool operator==(const Message &, const Message &) = default;
};

enum class Code {
    Ok,
    NoVenueChosen, ///< a race was clicked with no venue in the list
    MissingData, ///< no section for the venue, or a race block without terminator
    RaceRead, ///< race label not in the section, or a malformed placing row
    BadFileName, ///< the import was offered a file whose name does not begin with K
    ImportFailed, ///< the chosen file could not be read or stored
    NoPlayerFile, ///< search without player.dat
    NoStoredDay, ///< search or start-up without racek.dat
    NoFavourite, ///< search with no favourite registered
    NotFound, ///< search found no race of the favourite
    WriteFailed, ///< player.dat could not be written
    LibraryFailed, ///< the race library could not be opened, written or read
};

/// What an operation ended with, and the message the view has to show (if any).
/// Success may carry a message too (the import's "copied" notice).
struct Outcome final {
    Code code = Code::Ok;
    std::optional<Message> message;

    bool ok() const { return code == Code::Ok; }
    static Outcome success() { return {}; }
    static Outcome success(Message m) { return { Code::Ok, std::move(m) }; }
    static Outcome failure(Code c, Message m) { return { c, std::move(m) }; }
};

} // namespace rusena
