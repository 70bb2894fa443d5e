// What the window tests share: the headers most of them use, files written
// and read back, the scripted services for one test's life, modal windows.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "ui/messagebox.h"
#include "ui/printing.h"

namespace testsupport {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline QByteArray readBytes(const std::filesystem::path& path) {
    return readBytes(QString::fromStdU16String(path.u16string()));
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
    return path;
}

// A scripted service installed for a test's life; the one before comes back after it.
template <class Service, class Scripted> class Installed {
public:
    Installed() : previous_(Service::install(std::unique_ptr<Scripted>(scripted_))) {}
    ~Installed() { Service::install(std::move(previous_)); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
    Scripted* operator->() const { return scripted_; }
    void renew() { Service::install(std::unique_ptr<Scripted>(scripted_ = new Scripted)); }

private:
    Scripted* scripted_ = new Scripted;
    std::unique_ptr<Service> previous_;
};
using ScriptedBoxes = Installed<ui::MessageBoxService, ui::ScriptedMessageBoxes>;
using ScriptedPrints = Installed<ui::PrintService, ui::ScriptedPrinting>;

// Runs `open`, which must show a modal window of type W and wait for it;
// `inside` runs while the window is up and must end it.
template <class W> void whileModal(const std::function<void()>& open, const std::function<void(W&)>& inside) {
    bool seen = false;
    QObject scope;  // the check cannot outlive this call's locals
    QTimer::singleShot(0, &scope, [&] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        seen = true;
        inside(*w);
    });
    open();
    EXPECT_TRUE(seen);
}

}  // namespace testsupport
