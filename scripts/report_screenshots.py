"""Screenshots of report pages with headless Chromium, over its DevTools
pipe: the top of a page, or one field's panel opened.

    report_screenshots.py PAGE.html OUT.png [--panel FIELD] [--width W] [--height H]
"""
import argparse
import base64
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "report"))
import cdp  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("png")
    parser.add_argument("--panel")
    parser.add_argument("--width", type=int, default=1280)
    parser.add_argument("--height", type=int, default=1600)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as profile:
        browser = cdp.Browser("chromium", profile)
        try:
            session = browser.open_page("file://" + os.path.abspath(args.page))
            browser.send("Emulation.setDeviceMetricsOverride",
                         {"width": args.width, "height": args.height, "deviceScaleFactor": 1,
                          "mobile": False}, session=session)
            clip = {"x": 0, "y": 0, "width": args.width, "height": args.height}
            if args.panel:
                box = browser.evaluate(session, """(() => {
                  const panel = document.querySelector('details.panel[data-name=%s]');
                  panel.open = true;
                  const r = panel.getBoundingClientRect();
                  return [r.left + scrollX, r.top + scrollY, r.width, r.height]; })()"""
                                       % repr(args.panel).replace("'", '"'))
                clip = {"x": box[0] - 8, "y": box[1] - 8, "width": box[2] + 16, "height": box[3] + 16}
            clip["scale"] = 1
            shot = browser.send("Page.captureScreenshot",
                                {"format": "png", "clip": clip, "captureBeyondViewport": True},
                                session=session)
            with open(args.png, "wb") as out:
                out.write(base64.b64decode(shot["data"]))
        finally:
            browser.close()
    print("wrote", args.png)


if __name__ == "__main__":
    main()
