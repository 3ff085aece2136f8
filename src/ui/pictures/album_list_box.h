#pragma once
// The owner-drawn list of the run's albums on the Pictures page: the current album highlighted,
// prepared albums in bold, long folder paths shortened in the middle.
#include <QListWidget>
#include <QString>

#include <functional>

class QFontMetrics;

namespace galerion {
class TAlbumList;
}

namespace galerion::ui {

// The text as drawn into an entry `entryWidth` pixels wide: whole when it fits, else its first
// four characters, "..." and as much of its end as fits (at most 999 characters dropped).
QString ShortenInMiddle(const QString& text, const QFontMetrics& metrics, int entryWidth);

class TAlbumListBox : public QListWidget {
    Q_OBJECT

public:
    static constexpr int kEntryHeight = 17;
    static constexpr int kTextIndent = 3;

    TAlbumListBox(const TAlbumList& albums, std::function<int()> currentAlbum,
                  QWidget* parent = nullptr);

    // Entries anew from the album list's texts.
    void Reload();
    // The text an entry is drawn with, or empty when its index has no album.
    QString DrawnText(int index) const;
    const TAlbumList& Albums() const { return albums_; }
    int CurrentAlbum() const { return currentAlbum_(); }

private:
    const TAlbumList& albums_;
    std::function<int()> currentAlbum_;
};

}  // namespace galerion::ui
