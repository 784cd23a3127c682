#include "ExportFile.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <functional>

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

QString Reason(const QFileDevice& file)
{
    QString what;
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError: what = QStringLiteral("файл не открывается для записи"); break;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError: what = QStringLiteral("ошибка записи"); break;
    case QFileDevice::RenameError: what = QStringLiteral("файл не удалось заменить"); break;
    default: what = QStringLiteral("ошибка файла"); break;
    }
    return what + QStringLiteral(" (") + file.errorString() + QStringLiteral(")");
}

// `write` fills the file and returns an empty text, or the reason it failed.
QString WriteThrough(const QString& path, const std::function<QString(QSaveFile&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Reason(file);
    const QString failure = write(file);
    if (!failure.isEmpty()) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return Reason(file);
    return {};
}

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
    return WriteThrough(path, [&](QSaveFile& file) {
        QImageWriter writer(&file, format);
        if (qstrcmp(format, "JPG") == 0)
            writer.setQuality(100);
        if (writer.write(picture))
            return QString();
        // A failed write to the file itself says more than the encoder's message.
        if (file.error() != QFileDevice::NoError)
            return Reason(file);
        return QStringLiteral("ошибка кодирования (") + writer.errorString() + QStringLiteral(")");
    });
}

QString WriteBytes(const QString& path, const QByteArray& bytes)
{
    return WriteThrough(path,
                        [&](QSaveFile& file) { return file.write(bytes) == bytes.size() ? QString() : Reason(file); });
}

LocalTime CurrentLocalTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace mirel
