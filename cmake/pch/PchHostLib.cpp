// The translation unit that builds a shared precompiled header (see Pch.cmake).
namespace ixo::pch {
int host() {
    return 0;
}
}  // namespace ixo::pch
