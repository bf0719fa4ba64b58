#pragma once
// What the main window shows about the document, and which of its commands a document
// enables: the status line, the item summary, the command states, the joke-mode captions.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>
#include "core/translatable.h"

namespace tessaro {

class MenuDocument;
class MenuNode;

// Panel 1 of the status bar: "Format: " + record length of the last file read (for a menu
// that was not read, the record length it will be saved with) + "-byte  Entries: " + the
// number of menu entries (tree nodes minus the fixed 9).
std::string statusLine(int formatRead, int saveRecordSize, size_t nodeCount);

// The lines of the item summary for a selected node: "Item summary:", an empty line, then
// "[Not modified]" or one line per data entry (some only once per group). No value when the
// summary is hidden: no node, the Softkeys container or the Menu Root.
std::optional<std::vector<std::string>> itemSummary(const MenuDocument& document,
                                                    const MenuNode* node);

// The document commands of the tool bar and the File menu.
struct DocumentCommands {
    bool save = false;             // "&Save as..." and its button
    bool saveToPhone = false;      // "Save to p&hone" and its button
    bool availableItems = false;   // the available items

    bool operator==(const DocumentCommands&) const = default;
};
// Before the first New or Open everything is off; afterwards Save and the available items
// are on, and Save to phone while a phone is connected.
DocumentCommands documentCommands(bool documentOpen, bool connected);

// Window captions.
// The program's name and version as the caption, the tray and the splash show it; the version
// is the project's, given by the build.
inline constexpr const char* kVersionText = "v." TESSARO_VERSION;
inline constexpr const char* kMainCaption = "Tessaro v." TESSARO_VERSION;
inline constexpr const char* kJokeCaption = TRANSLATABLE("Core", "O-ops... We must have done smth wrong :(");
inline constexpr const char* kAfterJokeCaption = "Tessaro v.0.5";

// Double-clicking the label of the available items toggles the joke mode; the first
// toggle after start-up enters it.
class JokeMode {
public:
    // Toggles and returns whether the window is now in the joke (tree hidden, hole cut).
    bool toggle() { return active_ = !active_; }
    bool isActive() const { return active_; }
    // The caption the window takes with the last toggle.
    const char* caption() const { return active_ ? kJokeCaption : kAfterJokeCaption; }

private:
    bool active_ = false;
};

} // namespace tessaro
