#include "signin/sign_in_flags.h"

std::atomic<bool> loadingDoneFlag{false};
std::atomic<int32_t> authFailureFlag{0};
bool backToSignInFlag = false;
