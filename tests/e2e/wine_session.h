#pragma once
// The one display every wine process of the suite shares.
//
// Wine's desktop belongs to the display of the process that started the prefix's server.
// A server started without a display (the unit suite under wine, a run a moment ago)
// gives a desktop on which message boxes return at once, unseen, to whoever comes next
// within the server's linger time, display or not. So the suite ends any server it finds,
// gives itself a display of its own (an Xvfb) and every run inherits it.

namespace tw::e2e {

// Idempotent; call before starting anything under wine. Throws when no display can be had.
void PrepareWineSession();

}  // namespace tw::e2e
