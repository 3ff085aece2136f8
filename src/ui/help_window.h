#pragma once
// The program's help: HTML topics named by their context number, shown in the program's own
// help window with a contents list. A missing topic shows nothing and reports nothing.
#include <QWidget>

#include <string>

class QListWidget;
class QTextBrowser;

namespace galerion::ui {

// Help contexts of the program's windows and pages.
enum THelpContext : int {
    kHelpPages = 304,
    kHelpAlbums = 305,
    kHelpOptions = 306,
    kHelpPictures = 308,
    kHelpAdvanced = 309,
    kHelpFinish = 310,
    kHelpFullSize = 311,
};

// Where the topic of a context lies ("help/<context>.html" among the read-only files).
std::string HelpTopicPath(int context);

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own (not a child of `owner`), so that a dialog modal to the owner does not
    // block it; it first opens over the owner.
    explicit THelpWindow(QWidget* owner = nullptr);

    // Shows the topic of `context`; false (and nothing shown) when its file is missing.
    bool ShowContext(int context);
    int CurrentContext() const { return current_; }

    QTextBrowser* browser;
    QListWidget* contents;

private:
    bool ShowTopicFile(int context);
    void SelectInContents(int context);
    QWidget* owner_;
    int current_ = 0;
};

}  // namespace galerion::ui
