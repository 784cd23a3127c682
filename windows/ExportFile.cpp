#include "windows/ExportFile.h"

#include "common/AtomicFile.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QImage>
#include <QImageWriter>

namespace mirel {

namespace {

// Names a file's type by its extension alone. The stock provider reads a file's first bytes to
// tell its type, which blocks for good on some files of /proc and /dev (/proc/kmsg) and would
// freeze the window the moment the dialog lists such a folder.
class ExtensionIconProvider : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QStringLiteral("Папка");
        return info.suffix().isEmpty() ? QStringLiteral("Файл") : info.suffix().toUpper();
    }
};

}  // namespace

SaveDialog::SaveDialog(QWidget* parent, const QString& objectName, const QString& title, QStringList filters)
    : parent_(parent), objectName_(objectName), title_(title), filters_(std::move(filters))
{
}

SaveDialog::~SaveDialog()
{
    delete dialog_;  // before the icon provider it uses
}

void SaveDialog::setFilterIndex(int index)
{
    if (index >= 1 && index <= filters_.size())
        filterIndex_ = index;
}

std::optional<SaveChoice> SaveDialog::Execute(const QString& proposedName)
{
    if (!dialog_) {
        dialog_ = new QFileDialog(parent_);
        dialog_->setObjectName(objectName_);
        dialog_->setWindowTitle(title_);
        dialog_->setAcceptMode(QFileDialog::AcceptSave);
        dialog_->setFileMode(QFileDialog::AnyFile);
        dialog_->setNameFilters(filters_);
        icons_ = std::make_unique<ExtensionIconProvider>();
        dialog_->setIconProvider(icons_.get());
    }
    dialog_->selectNameFilter(filters_.value(filterIndex_ - 1));
    dialog_->selectFile(proposedName);
    if (dialog_->exec() != QDialog::Accepted || dialog_->selectedFiles().isEmpty())
        return std::nullopt;
    return SaveChoice{dialog_->selectedFiles().constFirst(),
                      static_cast<int>(filters_.indexOf(dialog_->selectedNameFilter())) + 1};
}

QString WritePicture(const QString& path, const QImage& picture, const char* format)
{
    // Encoded in memory first: the encoder's own failure is told apart from the disk's, and an
    // image library never meets a failing file (it would print its own complaint).
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "JPG") == 0)
        writer.setQuality(100);
    if (!writer.write(picture))
        return QStringLiteral("ошибка кодирования (") + writer.errorString() + QStringLiteral(")");
    return WriteBytes(path, bytes);
}

QString WriteBytes(const QString& path, const QByteArray& bytes)
{
    const int error = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return error == 0 ? QString() : QString::fromStdString(FileErrorText(error));
}

LocalTime CurrentLocalTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace mirel
