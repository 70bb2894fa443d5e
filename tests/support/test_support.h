// What the window tests share: files, programs run, scripted services, modal windows.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
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

// Runs a program with the environment changed by `set` (an empty value removes a name); its exit status, or -1
// when it crashed or hung, and its output and errors together in *out.
inline int run(const QString& program, const QStringList& args, QByteArray* out = nullptr,
               const std::map<QString, QString>& set = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));  // Qt's exit() in --help
    for (const auto& [name, value] : set)
        value.isEmpty() ? env.remove(name) : env.insert(name, value);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    if (out)
        *out = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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

// `open` must show a modal W and wait for it; `inside` runs while it is up and must end it.
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
