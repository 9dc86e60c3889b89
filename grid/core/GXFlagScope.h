// Sets a flag for the life of the scope and gives it back its old value on every way out, so a
// focus change or a modal box that re-enters the grid never finds a flag left set.
#pragma once

class GXFlagScope {
public:
    GXFlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
    ~GXFlagScope() { flag_ = old_; }
    GXFlagScope(const GXFlagScope&) = delete;
    GXFlagScope& operator=(const GXFlagScope&) = delete;

private:
    bool& flag_;
    bool old_;
};
