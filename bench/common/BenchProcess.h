#ifndef BENCHPROCESS_H
#define BENCHPROCESS_H

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

// The process of a benchmark that runs the program's screens: a data folder of its own (the
// program empties and writes its folders), offscreen when there is no display, only warnings
// and errors on stderr, and the program's font.
class BenchProcess
{
public:
    BenchProcess(int &argc, char **argv);

    bool isValid() const { return m_home.isValid(); }
    QApplication &app() { return *m_app; }

private:
    QTemporaryDir m_home;
    std::unique_ptr<QApplication> m_app;
};

#endif // BENCHPROCESS_H
