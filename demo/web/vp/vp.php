<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Latest Web News - Trevalo</title>
<style>
  :root { --bg: #0a0b0f; --panel: #12141b; --line: #242835; --text: #dde1ea; --muted: #8e95a6; --accent: #f59e0b; --link: #7dd3fc; }
  * { box-sizing: border-box; }
  html { background: var(--bg); }
  body { margin: 0; min-height: 100vh; color: var(--text); font: 15px/1.55 system-ui, "Segoe UI", "DejaVu Sans", Arial, sans-serif;
         background: radial-gradient(ellipse 800px 360px at 85% -60px, #2a1c06, rgba(10, 11, 15, 0) 70%), var(--bg); }
  a { color: var(--link); text-decoration: none; }
  a:hover { text-decoration: underline; }
  header { display: flex; flex-wrap: wrap; align-items: center; gap: 10px 18px; padding: 12px 20px; border-bottom: 1px solid var(--line); background: rgba(12, 13, 18, .9); }
  .logo { font-weight: 800; font-size: 20px; letter-spacing: .5px; color: #fff; }
  .logo:hover { text-decoration: none; }
  .logo span { color: var(--accent); }
  .section { color: var(--muted); font-size: 14px; }
  form.search { display: flex; flex: 1 1 260px; max-width: 460px; margin-left: auto; }
  form.search input[type=text] { flex: 1; min-width: 0; padding: 7px 12px; font: inherit; color: #fff; background: #0d0f15; border: 1px solid #333a4c; border-right: 0; border-radius: 8px 0 0 8px; outline: none; }
  form.search input[type=text]:focus { border-color: var(--accent); }
  form.search button { padding: 7px 14px; font: inherit; font-weight: 600; color: #1a1200; background: var(--accent); border: 0; border-radius: 0 8px 8px 0; cursor: pointer; }
  main { max-width: 940px; margin: 0 auto; padding: 22px 20px 34px; }
  h1 { margin: 0 0 6px; font-size: 26px; line-height: 1.25; color: #fff; }
  h2 { margin: 0 0 10px; font-size: 14px; text-transform: uppercase; letter-spacing: .08em; color: var(--muted); }
  .demo { margin: 0 0 18px; padding: 9px 14px; font-size: 14px; color: #e9d5a6; background: #1d1608; border: 1px solid #3b2c0c; border-radius: 8px; }
  footer { border-top: 1px solid var(--line); color: var(--muted); font-size: 13px; padding: 14px 20px; text-align: center; }
  .layout { display: grid; grid-template-columns: minmax(0, 1fr) 230px; gap: 22px; }
  .news { display: grid; grid-template-columns: repeat(auto-fill, minmax(230px, 1fr)); gap: 12px; }
  article { background: var(--panel); border: 1px solid var(--line); border-radius: 10px; padding: 12px 14px; }
  article.lead { grid-column: 1 / -1; background: linear-gradient(135deg, #1b1506, var(--panel) 60%); border-color: #3b2c0c; }
  article.lead h3 { font-size: 20px; }
  article h3 { margin: 4px 0 4px; font-size: 16px; line-height: 1.3; }
  article h3 a { color: #fff; }
  article p { margin: 0; font-size: 14px; color: #b8bfcc; }
  .tag { font-size: 11px; font-weight: 700; letter-spacing: .08em; text-transform: uppercase; color: var(--accent); }
  aside { background: var(--panel); border: 1px solid var(--line); border-radius: 10px; padding: 12px 14px; align-self: start; }
  aside ul { list-style: none; margin: 0; padding: 0; }
  aside li { padding: 7px 0; border-top: 1px solid var(--line); }
  aside li:first-child { border-top: 0; }
  aside li span { display: block; font-size: 13px; color: var(--muted); }
  @media (max-width: 640px) { .layout { grid-template-columns: 1fr; } }
</style>
</head>
<body>
<header>
  <a class="logo" href="/vp/vp.php">Tre<span>valo</span></a>
  <span class="section" id="section">News</span>
  <form class="search" action="/qzr/to.php" method="get" role="search">
    <input type="hidden" name="to" id="to" value="n">
    <input type="text" name="q" id="box" placeholder="Search Trevalo" aria-label="Search words" maxlength="200">
    <button type="submit">Search</button>
  </form>
</header>
<main>
<h1>Latest Web News</h1>
  <p class="demo">Demo edition: the Trevalo news service is offline, so these are sample headlines. Each one opens a
    search for its topic.</p>
  <div class="layout">
  <section>
    <h2>Headlines</h2>
    <div class="news">
    <article class="lead">
      <span class="tag">Sport</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=surf+cameras">Coastal surf cameras stream live all summer</a></h3>
      <p>Lifesaving clubs put cameras on six beaches, so you can check the waves before you leave home.</p>
    </article>
    <article>
      <span class="tag">Podcasts</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=community+radio+podcasts">Community radio opens its archive as podcasts</a></h3>
      <p>Thirty years of interviews, local music and talkback, now as weekly podcast episodes.</p>
    </article>
    <article>
      <span class="tag">Technology</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=video+feeds">How video feeds work: a beginner’s guide</a></h3>
      <p>Sites announce new videos in feeds; programs like Zorvex collect them so you can browse them in one place.</p>
    </article>
    <article>
      <span class="tag">Arts</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=short+film+festival">One-minute film festival opens for entries</a></h3>
      <p>Any camera, any subject, sixty seconds. The best entries will be screened outdoors in autumn.</p>
    </article>
    <article>
      <span class="tag">Weather</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=weekend+weather">Weekend outlook: storms clear for a sunny Sunday</a></h3>
      <p>Saturday stays wet and windy on the coast; Sunday brings blue skies and lighter winds.</p>
    </article>
    <article>
      <span class="tag">Products</span>
      <h3><a href="/qzr/to.php?to=n&amp;q=zorvex+float+mode">Zorvex 2.1 floats your video over other windows</a></h3>
      <p>Keep a video playing in a small window on top while you read the news or answer mail.</p>
    </article>
    </div>
  </section>
  <aside>
    <h2>PodCasts</h2>
    <ul>
      <li><a href="/qzr/to.php?to=p&amp;q=morning+briefing">Morning Briefing</a><span>news in ten minutes</span></li>
      <li><a href="/qzr/to.php?to=p&amp;q=garage+sessions">Garage Sessions</a><span>new bands, live</span></li>
      <li><a href="/qzr/to.php?to=p&amp;q=tech+hour">The Tech Hour</a><span>gadgets explained</span></li>
      <li><a href="/qzr/to.php?to=p&amp;q=footy+talk">Footy Talk</a><span>the weekend’s games</span></li>
    </ul>
  </aside>
  </div>
</main>
<footer>Trevalo &middot; makers of the <a href="/">Zorvex Video Browser</a></footer>

</body>
</html>
