// The statistics window's controls (start button, run-length box, time row, progress bar, results
// table and its popup menu) and the saving of the results through that menu.
#include "statistics/TFormER.h"

#include "display/PanelStyle.h"
#include "statistics/ResultsFile.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

namespace mirel {

namespace {

constexpr int Margin = 16;     // left offset of the table, kept on its other sides too
constexpr int TableTop = 146;  // window coordinates, below the toolbar panel

// A label placed in window coordinates; the client area starts below the toolbar panel.
QLabel* label(const char* name, const QString& text, QWidget* parent, int left, int top, bool navy = false)
{
    top -= InstrumentWindow::ToolbarHeight;
    QLabel* l =
        navy ? panel::label(text, parent, left, top, panel::Navy, false) : panel::label(text, parent, left, top);
    l->setObjectName(name);
    l->adjustSize();
    return l;
}

// A bevel that shows a single horizontal line, at its top or bottom edge.
QFrame* bevelLine(const char* name, QWidget* parent, QRect geometry, bool bottom)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    const int y = bottom ? geometry.bottom() - 1 : geometry.top();
    line->setGeometry(geometry.left(), y - InstrumentWindow::ToolbarHeight, geometry.width(), 2);
    return line;
}

// What the table counts, shown over it: what a pulse is, what the number of signals sent rests on,
// what to feed the inputs, and why the estimate may exceed 1.
QString countingRule()
{
    // 128 levels of the 8-bit samples make 1 V.
    const QString swing = QString::number(er::SilenceSwing / 128.0, 'f', 2).replace('.', ',');
    return QStringLiteral("Каждый импульс на входе канала (период сигнала) считается одним\n"
                          "сигналом, переданным с ошибкой: два пересечения среднего уровня\n"
                          "блока 0,2 с, посередине между его наименьшим и наибольшим отсчетом.\n"
                          "Блок с размахом меньше %2 из 256 уровней (около %3 В) не считается.\n"
                          "Переданные сигналы не измеряются: принимается, что аппаратура\n"
                          "передает сигналы со скоростью %1 в секунду.\n"
                          "На вход подается выход ошибок испытуемой аппаратуры: по одному\n"
                          "импульсу на каждую ошибку.\n"
                          "Оценка вероятности ошибки — это ошибки, деленные на переданные\n"
                          "сигналы; она больше 1, когда импульсов больше %1 в секунду\n"
                          "(синус 1 кГц дает 1000 импульсов в секунду).")
        .arg(QString::number(er::SignalRate), QString::number(er::SilenceSwing), swing);
}

}  // namespace

void TFormER::buildControls()
{
    QWidget* area = clientArea();
    const int top = -ToolbarHeight;

    btnStart = new QPushButton(QStringLiteral("Старт"), area);
    btnStart->setObjectName("btnStart");
    btnStart->setGeometry(16, 48 + top, 81, 59);
    btnStart->setAutoDefault(false);  // Enter in the run-length box does not start a run
    connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });

    Label1 = label("Label1", QStringLiteral("Измерения проводить:"), area, 104, 52);
    cbTime = new QComboBox(area);
    cbTime->setObjectName("cbTime");
    cbTime->setEditable(true);
    cbTime->setInsertPolicy(QComboBox::NoInsert);
    cbTime->setCompleter(nullptr);  // a typed 3 means 3 seconds, not "30 сек"
    cbTime->setMaxVisibleItems(16);
    cbTime->setGeometry(104, 64 + top, 121, cbTime->sizeHint().height());
    for (const er::DurationItem& item : er::DurationItems)
        cbTime->addItem(QString::fromUtf8(item.Text));
    cbTime->setCurrentIndex(er::DurationItemAtStart);
    // Keys reach the combo box, which hands them to its line edit without the line edit's filters.
    cbTime->installEventFilter(this);
    connect(cbTime, &QComboBox::activated, this, [this] { cbTimeClick(); });

    // The time row: run length, elapsed and remaining time, between two bevel lines.
    Bevel2 = bevelLine("Bevel2", area, QRect(16, 98, 297, 34), true);
    Bevel1 = bevelLine("Bevel1", area, QRect(16, 112, 297, 20), false);
    Label6 = label("Label6", QStringLiteral("Время:"), area, 18, 115);
    Label7 = label("Label7", QStringLiteral("Всего:"), area, 90, 115, true);
    Label8 = label("Label8", QStringLiteral("0 сек"), area, 125, 115, true);
    Label2 = label("Label2", QStringLiteral("Прошло:"), area, 190, 115, true);
    Label3 = label("Label3", QStringLiteral("0 сек"), area, 235, 115, true);
    Label4 = label("Label4", QStringLiteral("Осталось:"), area, 290, 115, true);
    Label5 = label("Label5", QStringLiteral("0 сек"), area, 344, 115, true);
    // Left to right at their places, moved right where the font makes a caption run into the
    // next label; a value keeps room for «600 сек».
    int right = 0;
    for (QLabel* l : {Label6, Label7, Label8, Label2, Label3, Label4, Label5}) {
        if (l == Label8 || l == Label3 || l == Label5)
            panel::fitToWidest(l, {QStringLiteral("600 сек")});
        l->move(std::max(l->x(), right + 4), l->y());
        right = l->x() + l->width();
    }

    // Shown while the device of the capture is lost: the run waits for it.
    lblDeviceLost =
        label("lblDeviceLost", QString::fromUtf8(DeviceLostText) + QStringLiteral("\nизмерение приостановлено"), area,
              240, 52);
    panel::setTextStyle(lblDeviceLost, panel::Maroon, true);
    lblDeviceLost->adjustSize();
    lblDeviceLost->hide();

    pbTime = new QProgressBar(area);
    pbTime->setObjectName("pbTime");
    pbTime->setRange(0, 100);
    pbTime->setValue(0);
    pbTime->setTextVisible(false);
    pbTime->setGeometry(16, 134 + top, 460, 11);

    lvStat = new QTreeWidget(area);
    lvStat->setObjectName("lvStat");
    lvStat->setGeometry(16, TableTop + top, 460, 261);
    lvStat->setFocusPolicy(Qt::ClickFocus);
    lvStat->setRootIsDecorated(false);
    lvStat->setColumnCount(3);
    lvStat->setHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Канал A"), QStringLiteral("Канал B")});
    lvStat->header()->setSectionsMovable(false);
    lvStat->setColumnWidth(0, 196);
    lvStat->setColumnWidth(1, 130);
    lvStat->setColumnWidth(2, 130);
    for (const char* caption : er::RowCaptions)
        lvStat->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(caption)}));
    lvStat->setToolTip(countingRule());

    PM = new QMenu(this);
    PM->setObjectName("PM");
    N1 = PM->addAction(QStringLiteral("Сохранить результаты ..."));
    N1->setObjectName("N1");
    N1->setEnabled(false);  // until the first run has ended
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    lvStat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvStat, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PM->popup(lvStat->viewport()->mapToGlobal(at)); });
}

void TFormER::DeviceLostChanged(bool lost)
{
    lblDeviceLost->setVisible(lost);
}

void TFormER::FormResize()
{
    const int width = this->width() - 2 * Margin;
    lvStat->resize(width, height() - TableTop - Margin);
    for (QWidget* widget :
         {static_cast<QWidget*>(pbTime), static_cast<QWidget*>(Bevel1), static_cast<QWidget*>(Bevel2)})
        widget->resize(width, widget->height());
}

// ---- Saving the results ----

void TFormER::N1Click()
{
    const QDateTime now = QDateTime::currentDateTime();
    const er::ClockTime clock{now.date().year(), now.date().month(),  now.date().day(),
                              now.time().hour(), now.time().minute(), now.time().second()};
    const QString chosen = askFileName(QString::fromStdString(er::ProposedFileName(clock)));
    if (chosen.isEmpty())
        return;
    const QString path = QString::fromStdString(er::WithTxtExtension(chosen.toStdString()));
    // The dialog asked about the name as typed; a name that got its extension here may be taken.
    if (path != chosen && QFileInfo::exists(path) && !askReplace(path))
        return;

    if (const auto error = er::SaveResults(QFile::encodeName(path).toStdString(), shownRows(), run_.MeasuredSeconds()))
        showError(QStringLiteral("Не удалось сохранить результаты в файл «%1»: %2.")
                      .arg(path, QString::fromStdString(*error)));
}

QString TFormER::askFileName(const QString& proposed)
{
    return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить результаты"), proposed,
                                        QStringLiteral("TXT (*.txt)"));
}

bool TFormER::askReplace(const QString& path)
{
    return QMessageBox::question(this, windowTitle(),
                                 QStringLiteral("Файл «%1» уже существует.\nЗаменить его?").arg(path)) ==
           QMessageBox::Yes;
}

void TFormER::showError(const QString& text)
{
    QMessageBox::critical(this, windowTitle(), text);
}

}  // namespace mirel
