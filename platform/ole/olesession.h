#pragma once

namespace platform::ole {

// The object-linking services of the program's user-interface thread, from start-up to the end:
// one session per program, made before the application object and ended after it. Embedded
// objects are loaded and drawn only while it exists.
class OleSession {
public:
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    // The session of this program, or nothing before it began and after it ended.
    static OleSession* current();

    // Reads the screen's pixels per inch, which convert object extents (0.01 mm) to pixels.
    // The screen can be asked only once the program is connected to the display, so this is
    // called once then, and later calls keep the first reading.
    void readScreenResolution();
    int pixelsPerInchX() const { return pixelsPerInchX_; }
    int pixelsPerInchY() const { return pixelsPerInchY_; }

private:
    int pixelsPerInchX_ = 96;
    int pixelsPerInchY_ = 96;
    bool resolutionRead_ = false;
};

} // namespace platform::ole
