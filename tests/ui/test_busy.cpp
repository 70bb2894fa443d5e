#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <stdexcept>

#include "ui/busy.h"

TEST(BusyPointer, BackToNormalEvenWhenTheCommandThrows) {
    try {
        ui::BusyPointer busy;
        ASSERT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw std::runtime_error("falla");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
