// A window class whose procedure records every message, for checking what Win32 sends and in
// which order.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Recorder {
    std::vector<RecordedMessage> messages;
    int quitCodeOnDestroy = 0;
    CREATESTRUCTA seenCreate{};

    // The recorded messages in order: all of them, or those of `wanted` only.
    std::vector<UINT> Messages(std::initializer_list<UINT> wanted = {}) const {
        std::vector<UINT> ids;
        for (const RecordedMessage& m : messages)
            if (!wanted.size() || std::find(wanted.begin(), wanted.end(), m.message) != wanted.end())
                ids.push_back(m.message);
        return ids;
    }
    const RecordedMessage* Last(UINT message) const {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it)
            if (it->message == message) return &*it;
        return nullptr;
    }
};

// Registers the recording class once and creates a window of it that reports to `recorder`
// (which must outlive the window).
HWND CreateTestWindow(DWORD style, int width, int height, Recorder* recorder);
// Dispatches every queued message.
std::vector<MSG> DrainMessages();
