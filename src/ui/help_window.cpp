#include "ui/help_window.h"

#include "platform/program_paths.h"
#include "ui/qt_text.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>

#include <array>

namespace galerion::ui {
namespace {

struct TTopic {
    int context;
    const char* title;
};

constexpr std::array<TTopic, 8> kTopics = {{
    {kHelpPages, "Using Galerion"},
    {kHelpOptions, "Options page"},
    {kHelpAlbums, "Albums page"},
    {kHelpPictures, "Pictures page"},
    {307, "Picture tiles"},
    {kHelpFullSize, "Full-size view"},
    {kHelpAdvanced, "Advanced options"},
    {kHelpFinish, "Finish page and log"},
}};

}  // namespace

std::string HelpTopicPath(int context) {
    return ResourcePath("help/" + std::to_string(context) + ".html");
}

THelpWindow::THelpWindow(QWidget* owner) : QWidget(nullptr, Qt::Window), owner_(owner) {
    setWindowTitle(QStringLiteral("Galerion Help"));
    resize(760, 560);
    contents = new QListWidget;
    browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    for (const TTopic& topic : kTopics) {
        if (!QFileInfo::exists(ToQt(HelpTopicPath(topic.context)))) continue;
        auto* item = new QListWidgetItem(QString::fromLatin1(topic.title), contents);
        item->setData(Qt::UserRole, topic.context);
    }
    connect(contents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopicFile(item->data(Qt::UserRole).toInt()); });
    connect(contents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowTopicFile(item->data(Qt::UserRole).toInt()); });
    // Links between topics keep the contents list and the current context in step.
    connect(browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        bool isNumber = false;
        const int context = QFileInfo(url.toLocalFile()).completeBaseName().toInt(&isNumber);
        if (isNumber) SelectInContents(context);
    });
    auto* splitter = new QSplitter;
    splitter->addWidget(contents);
    splitter->addWidget(browser);
    splitter->setSizes({190, 570});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

bool THelpWindow::ShowTopicFile(int context) {
    const QString path = ToQt(HelpTopicPath(context));
    if (!QFileInfo::exists(path)) return false;
    browser->setSource(QUrl::fromLocalFile(path));
    SelectInContents(context);
    return true;
}

void THelpWindow::SelectInContents(int context) {
    current_ = context;
    for (int row = 0; row < contents->count(); ++row)
        if (contents->item(row)->data(Qt::UserRole).toInt() == context)
            contents->setCurrentRow(row);
}

bool THelpWindow::ShowContext(int context) {
    if (!ShowTopicFile(context)) return false;
    if (!isVisible() && owner_) {
        // First shown over the middle of the window that asked for it.
        const QRect owner = owner_->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace galerion::ui
