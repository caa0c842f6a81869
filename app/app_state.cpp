// The one instance of the process-wide state.
#include "app/app_state.h"

namespace vorticel {

AppState& App() {
    static AppState state;
    return state;
}

} // namespace vorticel
