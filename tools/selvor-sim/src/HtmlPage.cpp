#include "HtmlPage.hpp"

#include "Http.hpp"

namespace SelvorSim {
namespace {

constexpr const char* style = R"(
:root { color-scheme: light dark; --blue: #1a56db; --green: #0e9f6e; --red: #e02424;
        --card: #ffffff; --bg: #f3f4f6; --text: #111827; --muted: #6b7280; }
@media (prefers-color-scheme: dark) {
  :root { --card: #1f2937; --bg: #111827; --text: #f9fafb; --muted: #9ca3af; } }
body { margin: 0; font-family: "Noto Sans", system-ui, sans-serif; background: var(--bg);
       color: var(--text); }
main { max-width: 480px; margin: 0 auto; padding: 24px 16px; }
h1 { font-size: 22px; margin: 0 0 4px; }
.muted { color: var(--muted); font-size: 14px; }
.card { background: var(--card); border-radius: 14px; padding: 18px; margin: 16px 0;
        box-shadow: 0 1px 4px rgba(0,0,0,.12); }
.code { display: flex; gap: 8px; margin: 12px 0; }
.code span { width: 40px; height: 48px; border-radius: 10px; border: 1px solid var(--muted);
             display: flex; align-items: center; justify-content: center; font-size: 26px;
             font-weight: 700; }
.actions { display: flex; gap: 10px; margin-top: 12px; }
button, .button { flex: 1; border: 0; border-radius: 10px; padding: 12px; font-size: 16px;
                  font-weight: 600; color: #fff; cursor: pointer; text-align: center;
                  text-decoration: none; }
.approve { background: var(--green); } .refuse { background: var(--red); }
.primary { background: var(--blue); }
input, select { width: 100%; box-sizing: border-box; padding: 10px; font-size: 16px;
                border-radius: 8px; border: 1px solid var(--muted); margin: 6px 0 12px;
                background: var(--card); color: var(--text); }
label { font-size: 14px; font-weight: 600; }
)";

} // namespace

std::string htmlPage(const std::string& title, const std::string& body, int refreshSeconds) {
    std::string head = "<!DOCTYPE html>\n<html lang=\"mn\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
    if (refreshSeconds > 0)
        head += "<meta http-equiv=\"refresh\" content=\"" + std::to_string(refreshSeconds) + "\">";
    return head + "<title>" + htmlEscape(title) + "</title><style>" + style +
           "</style></head><body><main>" + body + "</main></body></html>\n";
}

} // namespace SelvorSim
