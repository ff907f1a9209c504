#include "console.h"

#include <signal.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t interrupted = 0;
termios saved;
bool raw = false;

void OnSignal(int)
{
    interrupted = 1;
}

int ReadByte()
{
    fd_set in;
    FD_ZERO(&in);
    FD_SET(STDIN_FILENO, &in);
    timeval now = {0, 0};
    if (select(STDIN_FILENO + 1, &in, nullptr, nullptr, &now) <= 0) return -1;
    unsigned char c;
    return read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

}  // namespace

void ConsoleOpen()
{
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0) {
        termios t = saved;
        t.c_lflag &= ~(tcflag_t)(ICANON | ECHO);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        // Keys typed while the song was rendering were meant for nothing here.
        raw = tcsetattr(STDIN_FILENO, TCSAFLUSH, &t) == 0;
    }
}

void ConsoleClose()
{
    if (raw) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    raw = false;
}

int ConsoleKey()
{
    if (!raw) return -1;
    int c = ReadByte();
    if (c != 27) return c;
    // An arrow key is ESC [ C or ESC [ D; a lone ESC is itself.
    int b = ReadByte();
    if (b != '[') return 27;
    switch (ReadByte()) {
    case 'C': return 'R';
    case 'D': return 'L';
    default: return -1;
    }
}

bool ConsoleInterrupted()
{
    return interrupted != 0;
}

bool ConsoleIsTerminal()
{
    return isatty(STDOUT_FILENO) != 0;
}
