#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <stdexcept>

#include "ui/busy.h"
#include "ui/codedcombo.h"

namespace {

TEST(CodedComboBox, CodesFollowTheEntries) {
    ui::CodedComboBox list;
    EXPECT_FALSE(list.currentCode().isValid());  // nothing to select yet
    list.addCoded(QStringLiteral("Programa nuevo"), 1);
    list.addCoded(QStringLiteral("Ampliación"), 2);
    EXPECT_FALSE(list.isEditable());
    list.setCurrentIndex(1);
    EXPECT_EQ(list.currentText(), QStringLiteral("Ampliación"));
    EXPECT_EQ(list.currentCode().toInt(), 2);
    EXPECT_EQ(list.code(0).toInt(), 1);
    EXPECT_FALSE(list.code(2).isValid());
    list.setCurrentIndex(-1);
    EXPECT_FALSE(list.currentCode().isValid());
}

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
