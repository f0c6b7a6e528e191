<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Trevalo Search</title>
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
  .kinds { display: flex; gap: 6px; margin: 10px 0 18px; }
  .kinds a { padding: 4px 12px; border-radius: 99px; border: 1px solid var(--line); color: var(--muted); font-size: 14px; }
  .kinds a.here { color: #1a1200; background: var(--accent); border-color: var(--accent); font-weight: 600; }
  .kinds a:hover { text-decoration: none; color: #fff; }
  .kinds a.here:hover { color: #1a1200; }
  h1 q { color: var(--accent); quotes: "\201C" "\201D"; overflow-wrap: anywhere; }
  .empty { background: var(--panel); border: 1px solid var(--line); border-radius: 10px; padding: 16px 18px; }
  .empty h3 { margin: 0 0 6px; color: #fff; font-size: 16px; }
  .empty ul { margin: 8px 0 0; padding-left: 20px; }
  code { font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: .9em; background: #1a1d27; border: 1px solid #2c3142; border-radius: 4px; padding: 1px 5px; }
</style>
</head>
<body>
<header>
  <a class="logo" href="/vp/vp.php">Tre<span>valo</span></a>
  <span class="section" id="section">Search</span>
  <form class="search" action="/qzr/to.php" method="get" role="search">
    <input type="hidden" name="to" id="to" value="n">
    <input type="text" name="q" id="box" placeholder="Search Trevalo" aria-label="Search words" maxlength="200">
    <button type="submit">Search</button>
  </form>
</header>
<main>
<h1 id="heading">Search results</h1>
  <noscript><p>Your search words are shown here when scripts are allowed.</p></noscript>
  <nav class="kinds" aria-label="Search in">
    <a id="kind-n" href="/qzr/to.php?to=n">News</a>
    <a id="kind-p" href="/qzr/to.php?to=p">PodCasts</a>
  </nav>
  <div class="empty">
    <h3>No results in the demo edition</h3>
    <p>The Trevalo search service is offline, so there is nothing to show for this search.</p>
    <ul>
      <li>Search the Zorvex catalogue instead: type the words into the Zorvex search box and press <b>Enter</b>.</li>
      <li>Narrow a Zorvex search with <code>cat:news</code> or <code>site:example.com</code>.</li>
      <li>Browse the <a href="/vp/vp.php">latest headlines</a>.</li>
    </ul>
  </div>
</main>
<footer>Trevalo &middot; makers of the <a href="/">Zorvex Video Browser</a></footer>
<script>
  // Shows the search words from the address. They are only ever set as text,
  // never as markup, so whatever the address holds cannot become part of the page.
  (function () {
    var params = new URLSearchParams(window.location.search);
    var q = (params.get("q") || "").trim();
    var shown = q.length > 200 ? q.slice(0, 200) + "\u2026" : q;
    var to = params.get("to") === "p" ? "p" : "n";
    var kind = to === "p" ? "PodCasts" : "News";

    document.title = (q ? shown + " - " : "") + "Trevalo " + kind + " Search";
    document.getElementById("section").textContent = kind + " Search";
    document.getElementById("to").value = to;
    document.getElementById("box").value = q;

    var heading = document.getElementById("heading");
    if (q) {
      heading.textContent = "Search results for ";
      var words = document.createElement("q");
      words.textContent = shown;
      heading.appendChild(words);
    } else {
      heading.textContent = "Type what you are looking for";
    }

    ["n", "p"].forEach(function (k) {
      var link = document.getElementById("kind-" + k);
      var next = new URLSearchParams();
      next.set("to", k);
      if (q)
        next.set("q", q);
      link.setAttribute("href", "/qzr/to.php?" + next.toString());
      if (k === to)
        link.className = "here";
    });
  })();
</script>
</body>
</html>
