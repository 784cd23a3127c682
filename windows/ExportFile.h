#pragma once
// Saving a display: the save dialog each window keeps, and the writing of a picture or a text
// through the program's one file writer (AtomicFile.h), so that a target is never left half written.

#include "common/ExportText.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QFileIconProvider;
class QImage;
class QWidget;

namespace mirel {

// What the user chose in a save dialog: the name as typed and the filter (1 is the first).
struct SaveChoice {
    QString File;
    int FilterIndex = 1;
};

// A save dialog kept by its window between uses: it remembers its folder and the filter chosen
// last, and asks before it overwrites an existing file.
class SaveDialog {
public:
    // `filters` as Qt writes them ("BMP (*.bmp)"); the first is chosen at the start.
    SaveDialog(QWidget* parent, const QString& objectName, const QString& title, QStringList filters);
    ~SaveDialog();

    const QStringList& filters() const { return filters_; }
    int FilterIndex() const { return filterIndex_; }
    // Out-of-range indexes are ignored.
    void setFilterIndex(int index);

    // Shows the dialog with `proposedName` in its name box and the remembered filter; nothing when
    // the user cancels.
    std::optional<SaveChoice> Execute(const QString& proposedName);

private:
    QWidget* parent_;
    QString objectName_;
    QString title_;
    QStringList filters_;
    int filterIndex_ = 1;
    QPointer<QFileDialog> dialog_;  // made at the first use
    std::unique_ptr<QFileIconProvider> icons_;
};

// Writes `picture` in `format` ("BMP", "JPG", "PNG"; JPEG at quality 100). Returns an empty text
// on success, else why the file could not be written; an older file then stays as it was.
QString WritePicture(const QString& path, const QImage& picture, const char* format);
// Writes `bytes` as they are.
QString WriteBytes(const QString& path, const QByteArray& bytes);

// The local clock now.
LocalTime CurrentLocalTime();

}  // namespace mirel
