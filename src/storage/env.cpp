// The process-wide environment, which tests and benchmarks may replace.
#include <atomic>

#include "file.h"

namespace storage {

namespace {
std::atomic<Env*> replacement{nullptr};
}  // namespace

Env* Env::Default() {
    Env* env = replacement.load();
    return env != nullptr ? env : System();
}

Env* Env::setDefault(Env* env) {
    Env* previous = replacement.exchange(env);
    return previous != nullptr ? previous : System();
}

}  // namespace storage
