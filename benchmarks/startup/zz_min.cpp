#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>
static double sinceStart() {
    std::ifstream f("/proc/self/stat"); std::string s; std::getline(f, s);
    auto p = s.rfind(')'); std::istringstream is(s.substr(p + 2)); std::string tok;
    for (int i = 0; i < 19; ++i) is >> tok;
    unsigned long long st; is >> st;
    timespec ts; clock_gettime(CLOCK_BOOTTIME, &ts);
    return (ts.tv_sec + ts.tv_nsec / 1e9) * 1000 - st * 1000.0 / sysconf(_SC_CLK_TCK);
}
static QElapsedTimer T;
#define MARK(x) std::fprintf(stderr, "%8.1f ms  %s\n", T.nsecsElapsed() / 1e6, x)
class F : public QObject { public: bool painted = false; bool eventFilter(QObject* w, QEvent* e) override {
  if (!painted && e->type() == QEvent::Paint) { painted = true; MARK("first paint"); QTimer::singleShot(0, []{ MARK("after paint"); QCoreApplication::exit(0);}); }
  return false; } };
int main(int argc, char** argv) {
    T.start();
    std::fprintf(stderr, "main entered %.1f ms after process start\n", sinceStart());
    QApplication app(argc, argv); MARK("QApplication");
    F f; app.installEventFilter(&f);
    QLabel w("Hello"); w.show(); MARK("show");
    return app.exec();
}
