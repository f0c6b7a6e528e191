<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Zorvex TV</title>
<style>
  /* Shown in the player area of the main window, 363 by 300 pixels at the
     designed size and larger when the window grows: everything is sized from
     the viewport and nothing may scroll. */
  html, body {
    margin: 0;
    height: 100%;
    overflow: hidden;
    background: #000;
  }
  body {
    display: flex;
    flex-direction: column;
    align-items: center;
    justify-content: center;
    gap: 3.2vmin;
    color: #d7dee9;
    font-family: system-ui, "Segoe UI", "DejaVu Sans", Arial, sans-serif;
    text-align: center;
    background:
      radial-gradient(ellipse 70% 55% at 50% 38%, rgba(56, 189, 248, 0.20), rgba(0, 0, 0, 0) 70%),
      radial-gradient(ellipse 60% 40% at 50% 105%, rgba(245, 158, 11, 0.16), rgba(0, 0, 0, 0) 70%),
      #000;
    user-select: none;
    cursor: default;
  }
  .mark {
    width: 20vmin;
    height: 20vmin;
    filter: drop-shadow(0 0 4vmin rgba(56, 189, 248, 0.45));
  }
  h1 {
    margin: 0;
    font-size: 11vmin;
    line-height: 1;
    font-weight: 800;
    letter-spacing: 0.04em;
    color: #fff;
  }
  h1 span {
    background: linear-gradient(90deg, #38bdf8, #818cf8);
    -webkit-background-clip: text;
    background-clip: text;
    color: transparent;
  }
  .tagline {
    margin: 0;
    font-size: 4.6vmin;
    line-height: 1.35;
    color: #b9c3d3;
    max-width: 84vw;
  }
  .hints {
    display: flex;
    gap: 2vmin;
    margin-top: 1vmin;
  }
  .hints span {
    font-size: 3.4vmin;
    padding: 1.1vmin 2.6vmin;
    border: 1px solid rgba(148, 163, 184, 0.28);
    border-radius: 99px;
    color: #94a3b8;
    background: rgba(15, 23, 42, 0.6);
    white-space: nowrap;
  }
  .strip {
    position: absolute;
    left: 0;
    right: 0;
    bottom: 0;
    height: 1.4vmin;
    background: linear-gradient(90deg, #0ea5e9, #818cf8 50%, #f59e0b);
    opacity: 0.75;
  }
</style>
</head>
<body>
  <svg class="mark" viewBox="0 0 64 64" aria-hidden="true">
    <defs>
      <linearGradient id="g" x1="0" y1="0" x2="1" y2="1">
        <stop offset="0" stop-color="#38bdf8"/>
        <stop offset="1" stop-color="#6366f1"/>
      </linearGradient>
    </defs>
    <rect x="4" y="10" width="56" height="40" rx="9" fill="url(#g)"/>
    <rect x="22" y="52" width="20" height="4" rx="2" fill="#334155"/>
    <path d="M27 20 L43 30 L27 40 Z" fill="#fff"/>
  </svg>
  <h1>Zorvex <span>TV</span></h1>
  <p class="tagline">Point at a thumbnail to see it, click to play</p>
  <div class="hints"><span>Newest Videos</span><span>Search</span><span>Bookmarks</span></div>
  <div class="strip"></div>
</body>
</html>
