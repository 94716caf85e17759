#ifndef AUXLIB_UTILITY_SDLINITIALIZER_H
#define AUXLIB_UTILITY_SDLINITIALIZER_H

namespace auxlib::utility {

// Starts SDL for its first user and stops it after its last, so SDL runs
// exactly while pictures exist. Subsystems are started once per SDL start and
// only ever stopped together with SDL itself.
class SDLInitializer {
public:
    // Throws error::RuntimeError when SDL or the subsystem cannot start.
    static void acquire(int flags);
    // Throws error::LogicError for a subsystem never acquired since SDL started.
    static void release(int flags);

    // Current number of users of SDL as a whole, and of one subsystem entry
    // (-1 when the subsystem has no entry).
    static int startCount();
    static int subsystemCount(int flags);
};

} // namespace auxlib::utility

#endif
