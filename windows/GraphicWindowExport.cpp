// The graphical windows' two save commands: the picture of the display with its title band, and
// the displayed numbers as CSV. One procedure for every display; the instrument gives its name, its
// band position, its redraw, its data and what it does after the dialog.
#include "windows/GraphicWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace mirel {

namespace {

// Format and extension per filter of SDialog, in the filters' order.
struct PictureType {
    const char* Format;
    const char* Extension;
};
constexpr PictureType PictureTypes[] = {{"BMP", ".bmp"}, {"JPG", ".jpg"}, {"PNG", ".png"}};

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

GraphicWindow::ExportPrompts GraphicWindow::defaultPrompts(QWidget* parent)
{
    ExportPrompts prompts;
    prompts.Now = CurrentLocalTime;
    prompts.AskFile = [](SaveDialog& dialog, const QString& proposedName) { return dialog.Execute(proposedName); };
    prompts.AskReplace = [parent](const QString& question) {
        return QMessageBox::question(parent, QStringLiteral("Mirel"), question) == QMessageBox::Yes;
    };
    prompts.ShowError = [parent](const QString& message) {
        QMessageBox::critical(parent, QStringLiteral("Mirel"), message);
    };
    return prompts;
}

void GraphicWindow::enableExport(ExportProfile profile)
{
    exportProfile_ = std::move(profile);
    exportAction_->setEnabled(true);
    dataAction_->setEnabled(true);
}

void GraphicWindow::N1Click()
{
    RedrawForExport();
    const LocalTime now = prompts_.Now();
    const std::string& name = exportProfile_.Instrument;
    const std::string date = DateText(now);
    const std::string time = TimeText(now);
    plot::DrawBand(
        surface_->canvas(), CurrentScheme, shownTexts_,
        {BandText(name, now), "Mirel_500 [" + name + "] [" + date + "] [" + time + "]", name + " " + date + " " + time},
        exportProfile_.BandX, 4, surface_->width());
    // The picture as it is now: blocks that arrive while the dialog is open change the screen only.
    const QImage picture = surface_->image().copy();

    std::vector<const char*> extensions;
    for (const PictureType& type : PictureTypes)
        extensions.push_back(type.Extension);
    bool saved = false;
    const QString proposed = QString::fromStdString(ProposedFileName(exportProfile_.Instrument, now));
    if (const auto target = chooseTarget(SDialog, proposed, extensions))
        saved = reportWrite(*target, WritePicture(*target, picture, PictureTypes[SDialog.FilterIndex() - 1].Format));
    AfterExport(saved);
}

void GraphicWindow::N2Click()
{
    const std::string csv = DisplayedCsv();
    const LocalTime now = prompts_.Now();
    bool saved = false;
    const QString proposed = QString::fromStdString(ProposedFileName(exportProfile_.Instrument, now) + ".csv");
    if (const auto target = chooseTarget(csvDialog_, proposed, {".csv"}))
        saved = reportWrite(*target, WriteBytes(*target, QByteArray::fromStdString(csv)));
    AfterExport(saved);
}

std::optional<QString> GraphicWindow::chooseTarget(SaveDialog& dialog, const QString& proposedName,
                                                   const std::vector<const char*>& extensions)
{
    const std::optional<SaveChoice> choice = prompts_.AskFile(dialog, proposedName);
    if (!choice || choice->File.isEmpty())
        return std::nullopt;
    dialog.setFilterIndex(choice->FilterIndex);
    const QString target = QString::fromStdString(
        WithExtension(choice->File.toStdString(), extensions[static_cast<std::size_t>(dialog.FilterIndex() - 1)]));
    // The dialog asked about the name as typed; a name with the extension added is asked about here.
    if (target != choice->File && QFileInfo::exists(target) &&
        !prompts_.AskReplace(QStringLiteral("Файл «%1» уже существует.\nЗаменить его?").arg(Native(target))))
        return std::nullopt;
    return target;
}

bool GraphicWindow::reportWrite(const QString& path, const QString& failure)
{
    if (failure.isEmpty())
        return true;
    prompts_.ShowError(QStringLiteral("Не удалось сохранить файл «%1»:\n%2").arg(Native(path), failure));
    return false;
}

}  // namespace mirel
