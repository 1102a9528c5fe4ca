#pragma once
// Resource library string numbers the shared lists and dialogs use by name.
namespace res {
constexpr unsigned NoClientNode = 3;   // side bar node of the projects without a client
constexpr unsigned CustomLabel1 = 84;  // default custom field labels
constexpr unsigned CustomLabel2 = 85;
constexpr unsigned CustomLabel3 = 86;
}   // namespace res
