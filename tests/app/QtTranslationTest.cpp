// Qt's own dialogs and message boxes speak Russian once the program's translation is installed.
#include "app/QtTranslation.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

TEST(QtRussian, StandardDialogsAndButtonsAreRussian)
{
    // The catalogue is installed with the program (qt6-translations-l10n): missing, it is a fault.
    ASSERT_TRUE(mirel::installQtRussian(*qApp)) << "Qt's Russian catalogue is not installed";

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Cancel);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const std::pair<QString, QString> texts[] = {
        {box.button(QMessageBox::Save)->text(), QStringLiteral("Сохранить")},
        {box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена")},
        {dialog.labelText(QFileDialog::LookIn), QStringLiteral("Перейти к:")},
        {dialog.labelText(QFileDialog::FileName), QStringLiteral("Имя файла:")},
    };
    for (const auto& [shown, russian] : texts)
        EXPECT_EQ(QString(shown).remove(QLatin1Char('&')).toStdString(), russian.toStdString());

    // The other tests of this program keep Qt's own texts.
    qDeleteAll(qApp->findChildren<QTranslator*>());
}
