// The baselines of one client run: a program that takes its arguments and
// ends, built twice: with the C++ library alone, and linked with Qt Core as
// the simulator's tools are. The difference is the cost of loading Qt.
#ifdef KALDOR_BARE_TOOL_QT
#include <QString>
#else
#include <string>
#endif

int main(int argc, char** argv) {
    std::size_t length = 0;
    for (int i = 1; i < argc; ++i) {
#ifdef KALDOR_BARE_TOOL_QT
        length += QString::fromLocal8Bit(argv[i]).size();
#else
        length += std::string(argv[i]).size();
#endif
    }
    return length > 100000 ? 1 : 0;
}
