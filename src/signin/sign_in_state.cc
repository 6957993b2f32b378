#include "signin/sign_in_state.h"

SignInState& signInState() {
  static SignInState state;
  return state;
}
