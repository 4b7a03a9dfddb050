#include "document/animation.h"

// Until frames are played, every picture is a still.
std::shared_ptr<Animation> OpenAnimation(const AnimationSource&, const std::atomic<bool>&) { return nullptr; }
