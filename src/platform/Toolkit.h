// The window seam: what the portable user interface asks of the toolkit that
// shows it (GTK, Win32, or the headless double the tests drive).
#pragma once

#include <string>

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class MessageBoxButtons { Ok, OkCancel };
enum class MessageBoxIcon { Warning, Exclamation, Information, Error };
enum class MessageBoxResult { Ok, Cancel };
enum class Key { L, Control, Shift };

class Window {
public:
    virtual ~Window() = default;

    // Marks an area (nullptr: the whole window) for repainting.
    virtual void invalidate(const Rect* area) = 0;
    // Paints what is marked at once, before returning.
    virtual void paintNow() = 0;
    // Modal box; blocks until the pilot answers.
    virtual MessageBoxResult messageBox(const std::string& text, const std::string& title,
                                        MessageBoxButtons buttons, MessageBoxIcon icon) = 0;
    // True while the key is held down.
    virtual bool isKeyDown(Key key) = 0;

    virtual void showControl(int id, bool visible) = 0;
    virtual void minimise() = 0;
    virtual void maximise() = 0;
    virtual void hide() = 0;
    virtual void close() = 0;
};
