// The translation unit that builds a shared precompiled header (see Pch.cmake).
int main() {
    return 0;
}
