#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

void whenMessageBoxOpens(std::function<void(QMessageBox&)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        act(*box);
    });
    poll->start();
}

} // namespace

TEST(QtMessageBoxes, NoticesShowTheirIconTitleTextAndOk)
{
    QtMessageBoxes boxes;
    QMessageBox::Icon icon {};
    QString title, text;
    QMessageBox::StandardButtons buttons {};
    whenMessageBoxOpens([&](QMessageBox& box) {
        icon = box.icon();
        title = box.windowTitle();
        text = box.text();
        buttons = box.standardButtons();
        box.button(QMessageBox::Ok)->click();
    });
    boxes.information(nullptr, QStringLiteral("提示"), QStringLiteral("从exe文件中成功提取swf文件。"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(title, QStringLiteral("提示"));
    EXPECT_EQ(text, QStringLiteral("从exe文件中成功提取swf文件。"));
    EXPECT_EQ(buttons, QMessageBox::Ok);

    whenMessageBoxOpens([&](QMessageBox& box) {
        icon = box.icon();
        box.button(QMessageBox::Ok)->click();
    });
    boxes.warning(nullptr, QStringLiteral("错误"), QStringLiteral("错误：文件无法打开"));
    EXPECT_EQ(icon, QMessageBox::Warning);
}

TEST(QtMessageBoxes, QuestionReturnsTheButtonPressed)
{
    QtMessageBoxes boxes;
    for (const auto pressed : { QMessageBox::Yes, QMessageBox::No }) {
        QMessageBox::StandardButtons buttons {};
        whenMessageBoxOpens([&](QMessageBox& box) {
            buttons = box.standardButtons();
            box.button(pressed)->click();
        });
        const bool yes
            = boxes.askYesNo(nullptr, QStringLiteral("Zorvaplay"), QStringLiteral("发现新版本，下载吗？"));
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(yes, pressed == QMessageBox::Yes);
    }
}
