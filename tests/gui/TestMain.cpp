#include "TestMain.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <vector>

std::map<std::string, TestFactory>& testClasses()
{
    static std::map<std::string, TestFactory> classes;
    return classes;
}

// tests_gui [CLASS [QTest options]]: runs one class, or every class.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<std::string> selected;
    std::vector<char*> rest{argv[0]};
    if (argc > 1 && argv[1][0] != '-') {
        selected.push_back(argv[1]);
        rest.insert(rest.end(), argv + 2, argv + argc);
    } else {
        for (const auto& entry : testClasses())
            selected.push_back(entry.first);
        rest.insert(rest.end(), argv + 1, argv + argc);
    }
    int failures = 0;
    for (const std::string& name : selected) {
        const auto found = testClasses().find(name);
        if (found == testClasses().end()) {
            std::fprintf(stderr, "no test class %s\n", name.c_str());
            return 2;
        }
        // Each class works in a fresh folder of its own: the engine writes
        // its log to the current folder, and ctest runs classes side by side.
        QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/pixwright-gui-XXXXXX"));
        if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
            std::fprintf(stderr, "no scratch folder for %s\n", name.c_str());
            return 2;
        }
        std::unique_ptr<QObject> test = found->second();
        failures += QTest::qExec(test.get(), static_cast<int>(rest.size()), rest.data());
        test.reset();
        QDir::setCurrent(QDir::tempPath());
    }
    return failures == 0 ? 0 : 1;
}
