#include "grid/interaction/psgcheck.h"

String TProStringGridCheck::MarkError(int, int, const String& Value)
{
    return Value;
}

String TProStringGridCheck::Correct(int, int, const String& Value)
{
    return Value;
}
