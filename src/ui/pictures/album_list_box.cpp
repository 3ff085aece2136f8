#include "ui/pictures/album_list_box.h"

#include "core/model.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyledItemDelegate>

namespace galerion::ui {

namespace {

constexpr int kKeptCharacters = 4;
constexpr int kMaxShorteningSteps = 999;
const QString kEllipsis = QStringLiteral("...");

// Draws each entry by the album it stands for, not by the list's own selection.
class TAlbumEntryDelegate : public QStyledItemDelegate {
public:
    explicit TAlbumEntryDelegate(TAlbumListBox& box) : QStyledItemDelegate(&box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const TAlbumItem* album = box_.Albums().AlbumAt(index.row());
        if (!album) return;
        const bool current = index.row() == box_.CurrentAlbum();
        const QPalette& palette = box_.palette();
        const QRect r = option.rect;
        painter->save();
        painter->fillRect(r, palette.color(current ? QPalette::Highlight : QPalette::Base));
        QFont font = box_.font();
        font.setBold(album->Prepared);
        painter->setFont(font);
        painter->setPen(palette.color(current ? QPalette::HighlightedText : QPalette::Text));
        const QRect textRect = r.adjusted(TAlbumListBox::kTextIndent, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          box_.DrawnText(index.row()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
                     TAlbumListBox::kEntryHeight);
    }

private:
    TAlbumListBox& box_;
};

}  // namespace

QString ShortenInMiddle(const QString& text, const QFontMetrics& metrics, int entryWidth) {
    // The text starts 3 pixels in and keeps 3 pixels from the right edge.
    const int available = entryWidth - 2 * TAlbumListBox::kTextIndent;
    if (metrics.horizontalAdvance(text) <= available) return text;
    QString shortened = text;
    int width = metrics.horizontalAdvance(text);
    for (int step = 0; step < kMaxShorteningSteps && width > available; ++step) {
        if (shortened.size() > kKeptCharacters) shortened.remove(kKeptCharacters, 1);
        width = metrics.horizontalAdvance(kEllipsis + shortened);
    }
    return shortened.insert(std::min<qsizetype>(kKeptCharacters, shortened.size()), kEllipsis);
}

TAlbumListBox::TAlbumListBox(const TAlbumList& albums, std::function<int()> currentAlbum,
                             QWidget* parent)
    : QListWidget(parent), albums_(albums), currentAlbum_(std::move(currentAlbum)) {
    setItemDelegate(new TAlbumEntryDelegate(*this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
}

void TAlbumListBox::Reload() {
    clear();
    for (int i = 0; i < albums_.Count(); ++i) addItem(QString::fromStdString(albums_.Text(i)));
}

QString TAlbumListBox::DrawnText(int index) const {
    if (!albums_.AlbumAt(index)) return QString();
    return ShortenInMiddle(QString::fromStdString(albums_.Text(index)), fontMetrics(),
                           viewport()->width());
}

}  // namespace galerion::ui
