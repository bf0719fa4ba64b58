#pragma once
// File choices of the windows. The windows ask through this interface so tests can answer
// without a real dialog; the answer is a path, or empty when the user cancelled.

#include <string>

class QWidget;

namespace tessaro {

struct FileDialogRequest {
    std::string title;
    // Filter in the "Description|pattern;pattern|Description|pattern" form.
    std::string filter;
    std::string fileName;     // proposed file name, may be empty
    std::string folder;       // starting folder, may be empty
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // An existing file to open (its path must exist).
    virtual std::string openFile(const FileDialogRequest& request) = 0;
    // A file to save to.
    virtual std::string saveFile(const FileDialogRequest& request) = 0;
};

// The real dialogs, shown modally over a parent window.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    std::string openFile(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;

    // "All Files (*.*)|*.*" becomes "All Files (*.*) (*)": each pair turns into one Qt
    // filter line; "*.*" means every file.
    static std::string qtFilter(const std::string& filter);

private:
    QWidget* parent_;
};

} // namespace tessaro
