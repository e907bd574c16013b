#ifndef POPPLERGLOBALS_H
#define POPPLERGLOBALS_H

// Process-wide Poppler state: the parameters object and the state that every page render
// shares are made once, by whichever thread asks first, and live until the process ends.
class PopplerGlobals
{
public:
    // Makes the parameters object on first call; safe from any thread.
    static void ensure();

private:
    PopplerGlobals() = delete;
    static void setup();
    static void makeSharedRenderState();
};

#endif // POPPLERGLOBALS_H
