// The spectrum analyser's audio-grade view in its display's popup menu: a submenu of exclusive
// choices per setting (ViewMenuItems), the peak-hold switch and its reset. A change redraws the
// whole display, whose scales and curves follow the settings.
#include "spectrum/TFormSP.h"

#include "spectrum/ViewMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace mirel {

using namespace spectrum;

void TFormSP::buildViewMenu()
{
    QMenu* menu = popupMenu();
    menu->addSeparator();
    for (const ViewMenuItem& item : ViewMenuItems()) {
        const QString name = QString::fromStdString(item.Name);
        const QString caption = QString::fromStdString(item.Caption);
        if (item.Check) {
            QAction* action = menu->addAction(caption);
            action->setObjectName(name);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this,
                    [this, name](bool on) { setViewChoice(name.toStdString(), on ? "1" : "0"); });
            continue;
        }
        QMenu* submenu = menu->addMenu(caption);
        auto* group = new QActionGroup(this);
        group->setObjectName(name);
        for (const ViewChoice& choice : item.Choices) {
            QAction* action = submenu->addAction(QString::fromStdString(choice.Text));
            action->setCheckable(true);
            action->setData(QString::fromStdString(choice.Word));
            group->addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, name, word = choice.Word] { setViewChoice(name.toStdString(), word); });
        }
    }
    resetPeaksAction_ = menu->addAction(QStringLiteral("Сбросить пики"));
    resetPeaksAction_->setObjectName("resetPeaks");
    connect(resetPeaksAction_, &QAction::triggered, this, [this] { resetPeaksClick(); });
    showViewChoices();
}

void TFormSP::showViewChoices()
{
    for (const ViewMenuItem& item : ViewMenuItems()) {
        const QString name = QString::fromStdString(item.Name);
        const QString word = QString::fromStdString(ViewChoiceOf(View, item.Name));
        if (item.Check) {
            if (auto* action = findChild<QAction*>(name))
                action->setChecked(word == QStringLiteral("1"));
        } else if (auto* group = findChild<QActionGroup*>(name)) {
            for (QAction* action : group->actions())
                action->setChecked(action->data().toString() == word);
        }
    }
    resetPeaksAction_->setEnabled(View.PeakHold);
}

void TFormSP::setViewChoice(const std::string& name, const std::string& word)
{
    const std::optional<ViewSettings> view = WithViewChoice(View, name, word);
    if (!view || *view == View) {
        showViewChoices();
        return;
    }
    const int frames = captureFrames();
    View = *view;
    showViewChoices();
    // The spectrogram's capture delivers a line's step at a time: it starts again for another step.
    if (Running && captureFrames() != frames)
        Start();
    // The scales change with the settings; the pass starts its averages and peaks anew.
    ClearFon();
    repaintWindow();
}

void TFormSP::resetPeaksClick()
{
    pass_.ResetHold();
    repaintWindow();
}

}  // namespace mirel
