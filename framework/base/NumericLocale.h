// Number conversion in the suite never follows the user's locale: the toolkit sets the C
// library's locale from the environment when the application object is made, so the framework
// puts LC_NUMERIC back to "C" right after (a "1.5" in a settings file stays one and a half under
// a German locale, and printf writes a point).
#pragma once

namespace fw {

// Sets LC_NUMERIC to "C". Called by the framework when it starts; harmless to call again.
void RestoreNumericLocale();

}  // namespace fw
