// The real Qt boxes behind the dialogs seam.

#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(QtDialogs, AQuestionShowsItsTextTitleIconButtonsAndDefault)
{
    platform::QtDialogs real;
    QString seenText, seenTitle;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        buttons = int(box->buttons().size());
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    const int answer = real.MsgBox(QStringLiteral("Sure?"), 276, QStringLiteral("Warnning"));
    EXPECT_EQ(answer, platform::vbYes);
    EXPECT_EQ(seenText, QStringLiteral("Sure?"));
    EXPECT_EQ(seenTitle, QStringLiteral("Warnning"));
    EXPECT_EQ(buttons, 2);
}

TEST(QtDialogs, AMessageWithoutTitleShowsTheProgramTitleAndOneOkButton)
{
    platform::QtDialogs real;
    QString title;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        buttons = int(box->buttons().size());
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(real.MsgBox(QStringLiteral("Recipe Added")), platform::vbOK);
    EXPECT_EQ(title, QStringLiteral("Saporium"));
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

TEST(QtDialogs, TheInputBoxReturnsTheTypedTextOrEmptyOnCancel)
{
    platform::QtDialogs real;
    auto answer = [](bool accept) {
        QTimer::singleShot(0, [accept] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Create New Category"));
            EXPECT_EQ(dialog->labelText(), QStringLiteral("Enter a Name For New Category"));
            dialog->setTextValue(QStringLiteral("Pies"));
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(true);
    EXPECT_EQ(real.InputBox(QStringLiteral("Enter a Name For New Category"), QStringLiteral("Create New Category")),
              QStringLiteral("Pies"));
    answer(false);
    EXPECT_EQ(real.InputBox(QStringLiteral("Enter a Name For New Category"), QStringLiteral("Create New Category")),
              QString());
}

TEST(QtDialogs, TheProgressBoxTakesTheUsersInputUntilItGoesAndCancels)
{
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("Delete"), &window);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    platform::QtDialogs real(&window);
    std::unique_ptr<platform::Progress> progress = real.StartProgress(QStringLiteral("Importing..."));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0) << "nothing else may start while the work runs";

    // The box shows itself after half a second of work: waited for, with a generous bound.
    auto *box = window.findChild<QProgressDialog *>();
    ASSERT_NE(box, nullptr);
    QElapsedTimer waited;
    waited.start();
    while (!box->isVisible() && waited.elapsed() < 60000)
        ASSERT_TRUE(progress->update(1, 4));
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), platform::kAppTitle);
    EXPECT_EQ(box->labelText(), QStringLiteral("Importing..."));
    QTest::mouseClick(box->findChild<QPushButton *>(), Qt::LeftButton);
    EXPECT_FALSE(progress->update(2, 4));

    progress.reset();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}
