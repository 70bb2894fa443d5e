#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <stdexcept>

#include "ui/busy.h"

namespace {

TEST(BusyPointer, BackToNormalHoweverTheScopeEnds) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        ui::BusyPointer busy;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    try {
        ui::BusyPointer busy;
        throw std::runtime_error("falla");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
