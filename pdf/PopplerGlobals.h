#ifndef POPPLERGLOBALS_H
#define POPPLERGLOBALS_H

// Process-wide Poppler state: the parameters object is made once, by whichever
// thread asks first, and lives until the process ends.
class PopplerGlobals
{
public:
    // Makes the parameters object on first call; safe from any thread.
    static void ensure();

private:
    PopplerGlobals() = delete;
    static void setup();
};

#endif // POPPLERGLOBALS_H
