<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Zorvex User Guide</title>
<link rel="stylesheet" href="/site.css">
<style>
  .toc { columns: 2 220px; column-gap: 28px; margin: 14px 0 6px; padding: 14px 18px 10px 38px; }
  .toc li { break-inside: avoid; }
  .regions { display: grid; gap: 6px; grid-template-columns: 1fr 1fr 0.8fr; grid-template-rows: 86px 100px;
             max-width: 560px; margin: 10px 0 16px; padding: 8px; border: 1px solid #2a3346; border-radius: 10px; background: #000; }
  .regions div { border: 1px solid #263246; border-radius: 6px; background: #0b1220; padding: 6px 9px; font-size: 13px; color: #cbd5e1; }
  .regions b { display: inline-flex; width: 20px; height: 20px; border-radius: 50%; align-items: center; justify-content: center;
               background: var(--accent); color: #001018; font-size: 12px; margin-right: 6px; }
  .regions .r1 { background: radial-gradient(circle at 50% 50%, rgba(56, 189, 248, .22), #000 75%); }
  .regions .r3 { grid-column: 1 / 3; }
  .regions .r4 { grid-column: 3; grid-row: 1 / 3; }
  dl { margin: 0 0 12px; }
  dt { color: #fff; font-weight: 600; margin-top: 10px; }
  dd { margin: 2px 0 0 18px; }
</style>
</head>
<body>
<header class="top">
  <a class="brand" href="/"><svg viewBox="0 0 64 64" aria-hidden="true"><defs><linearGradient id="zg" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#38bdf8"/><stop offset="1" stop-color="#6366f1"/></linearGradient></defs><rect x="4" y="10" width="56" height="40" rx="9" fill="url(#zg)"/><rect x="22" y="52" width="20" height="4" rx="2" fill="#334155"/><path d="M27 20 L43 30 L27 40 Z" fill="#fff"/></svg> Zorvex <small>Video Browser</small></a>
  <nav>
    <a href="/">Home</a>
    <a class="here" href="/player/manual.php">User Guide</a>
    <a href="/player/support.php">Support</a>
    <a href="/help/connection.html">Connection Help</a>
    <a href="/vp/vp.php">Web News</a>
  </nav>
</header>
<main>
<h1>Zorvex User Guide</h1>
  <p class="lead">How to find, play and keep videos with Zorvex Video Browser 2.1.</p>

  <ol class="toc card">
    <li><a href="#start">Starting Zorvex</a></li>
    <li><a href="#window">The main window</a></li>
    <li><a href="#browse">Browsing videos</a></li>
    <li><a href="#sidebar">The side bar</a></li>
    <li><a href="#categories">Categories</a></li>
    <li><a href="#search">Searching</a></li>
    <li><a href="#order">Most Popular and Most Recent</a></li>
    <li><a href="#play">Playing videos</a></li>
    <li><a href="#float">Float mode and full screen</a></li>
    <li><a href="#bookmarks">Bookmarks</a></li>
    <li><a href="#web">Web pages and web searches</a></li>
    <li><a href="#offline">Working offline</a></li>
    <li><a href="#local">Your own files and live TV</a></li>
    <li><a href="#keys">Mouse and keyboard summary</a></li>
  </ol>

  <h2 id="start">Starting Zorvex</h2>
  <p>When Zorvex starts it first shows its start-up window. The window tells you about your computer and
    checks your connection: <span class="ui">Checking Internet on Port 80.</span> and
    <span class="ui">Checking Internet on Port 3306.</span> gain dots as answers come in, and end in
    <span class="ui">OK</span> when the Zorvex catalogue server has answered. While it loads the topic
    lists and categories, the bar at the bottom fills up.</p>
  <p>When the bar is full, click <span class="ui">Continue</span> at the bottom right, or press <kbd>Enter</kbd>,
    to open the main window.</p>
  <p>If a check fails, its line turns red (<span class="ui">Check Internet Connection</span> or
    <span class="ui">No Connection to Zorvex Server</span>) and Zorvex asks whether to
    <span class="ui">Work Online</span> anyway or <span class="ui">Work Offline</span>.
    See <a href="#offline">Working offline</a> and <a href="/help/connection.html">Connection Problems and Firewalls</a>.</p>
  <p>The links in the start-up window open the Zorvex web site or a mail to Zorvex support in your own
    web browser or mail program; Zorvex then closes. <span class="ui">File &rsaquo; About Zorvex VideoBrowser</span>
    shows the start-up window again later.</p>

  <h2 id="window">The main window</h2>
  <p>The main window has four regions. They grow and shrink with the window; in a small window a few
    of the less important controls are hidden.</p>
  <div class="regions" aria-hidden="true">
    <div class="r1"><b>1</b>Video</div>
    <div class="r2"><b>2</b>Information and search</div>
    <div class="r3"><b>3</b>Pages: All Videos, Newest Videos, Special Interest, web pages&hellip;</div>
    <div class="r4"><b>4</b>Categories and the side bar</div>
  </div>
  <ol>
    <li><strong>The video area</strong> shows the Zorvex TV start page until you play something. When a video plays,
      the control bar appears below it.</li>
    <li><strong>The information and search panel</strong> shows the video you point at or play: its title,
      description and site. Below are the search box, the <span class="ui">Most Popular</span> and
      <span class="ui">Most Recent</span> choice, and the buttons <span class="ui">Float Mode</span>,
      <span class="ui">Fullscreen</span>, <span class="ui">Bookmark</span>, <span class="ui">Favorites</span>
      and <span class="ui">Web News</span>. The word <span class="ui">Online</span> or
      <span class="ui">Offline</span> tells you how Zorvex is working.</li>
    <li><strong>The pages</strong>: <span class="ui">All Videos</span> (the text search list),
      <span class="ui">My Web Browser</span>, <span class="ui">Newest Videos</span>,
      <span class="ui">Special Interest</span>, <span class="ui">Latest Web News</span>,
      <span class="ui">User Guide</span> (this guide) and <span class="ui">Zorvex Support</span>.</li>
    <li><strong>The right-hand column</strong> holds the <span class="ui">CATEGORIES</span> tree, and over it the
      <span class="ui">Video Topics</span> side bar with its tabs <span class="ui">World</span>,
      <span class="ui">Aus News</span> and <span class="ui">Bookmarks</span>.</li>
  </ol>
  <p>You can drag the window by any empty part of it.</p>

  <h2 id="browse">Browsing videos</h2>
  <p>The <span class="ui">Newest Videos</span> and <span class="ui">Special Interest</span> pages each show
    eight videos, four across and two down, with the title above each picture. Each page has up to twelve
    <strong>topic buttons</strong>. Click one to show that topic from its first page; the page's tab then
    carries the topic's full name.</p>
  <ul>
    <li>The two tall <strong>arrow strips</strong> at the left edge of the page turn the pages: the upper
      strip shows the next eight videos, the lower strip the previous eight.</li>
    <li><strong>Point</strong> at a picture: it grows a little, and the information panel shows its title,
      description and site. Move away and the panel shows its usual text again.</li>
    <li><strong>Click</strong> a picture to play the video.</li>
    <li><strong>Right-click</strong> a picture for <span class="ui">Play</span> and
      <span class="ui">Add to Bookmarks</span>.</li>
  </ul>
  <p>Search results and categories are shown on the <span class="ui">Newest Videos</span> page too. While they
    are shown, the label <span class="ui">Pages 0 - 8</span> tells you which results you are looking at, and
    the arrow strips page through the results. Click a topic button to return to the topics.</p>

  <h2 id="sidebar">The side bar</h2>
  <p>Move the pointer to the <span class="ui">Video Topics</span> bar at the right edge of the window and the
    side bar slides out. It has three tabs:</p>
  <dl>
    <dt>World</dt>
    <dd>Sixteen videos, two across and eight down, from the World channel.</dd>
    <dt>Aus News</dt>
    <dd>Sixteen videos from the Australian news channel. Its first page is loaded the first time you open the tab.</dd>
    <dt>Bookmarks</dt>
    <dd>Your own bookmarks, sixteen at a time (see <a href="#bookmarks">Bookmarks</a>).</dd>
  </dl>
  <p>The thin arrow strips across the top of each tab turn its pages, sixteen videos at a time.
    Pointing at a picture shows its title over it and its details in the information panel; a click plays it.</p>

  <h2 id="categories">Categories</h2>
  <p>The <span class="ui">CATEGORIES</span> tree in the right-hand column lists every category of the
    catalogue. Click a category to open it and see its subcategories (the others close).
    <strong>Double-click</strong> a category or subcategory to show its videos: the first eight appear on
    the <span class="ui">Newest Videos</span> page, whose tab takes the category's name, and the arrow strips
    page on. The entry you chose last is marked in the tree.</p>
  <div class="note"><p>The results go to the <span class="ui">Newest Videos</span> page even while another page is
    in front; click its tab to see them.</p></div>

  <h2 id="search">Searching</h2>
  <p>Click in the search box (the grey text disappears), type what you are looking for, and:</p>
  <ul>
    <li>press <kbd>Enter</kbd> or click the picture-search button beside the box to search the
      <strong>picture library</strong>: the first eight matches appear as pictures on the
      <span class="ui">Newest Videos</span> page, and the arrow strips page on. If nothing matches, the page
      says <span class="ui">No Results on</span> and your words; try the text search then.</li>
    <li>click the text-search button to search the <strong>text library</strong>: up to a hundred matches
      are listed on the <span class="ui">All Videos</span> page with their description, category and source.
      The arrows above the list show the next and previous hundred. Double-click a line to play it, or click it
      for a menu with <span class="ui">Play Video</span>, <span class="ui">Show Video Image</span>,
      <span class="ui">Visit Site</span>, <span class="ui">Close Video</span> and
      <span class="ui">Add to Bookmarks</span>.</li>
  </ul>

  <h3>What you can type</h3>
  <table>
    <tr><th>You type</th><th>Zorvex finds</th></tr>
    <tr><td><code>funny cats</code></td><td>videos with <em>all</em> the words: Zorvex puts a <code>+</code> in front of
      every word for you, so this searches for <code>+funny +cats</code>. You never need to type the
      <code>+</code> yourself.</td></tr>
    <tr><td><code>surfing cat:sport</code></td><td>videos about surfing in the category <em>sport</em>.
      <code>cat:</code> takes the one word that follows it.</td></tr>
    <tr><td><code>cat:news</code></td><td>everything in the category <em>news</em>.</td></tr>
    <tr><td><code>surf site:example.com</code></td><td>videos about surf from that site. The site name is
      looked for as a whole, exactly as written.</td></tr>
  </table>
  <ul>
    <li>Write <code>cat:</code> and <code>site:</code> in small letters: <code>Cat:</code> is searched for as
      an ordinary word.</li>
    <li>Use a category word only after <code>cat:</code>. It is taken out of the rest of your text, even out
      of longer words: <code>newsreel cat:news</code> searches for <em>reel</em>.</li>
    <li>Leave the box empty and it shows a grey tip, such as
      <span class="ui">Use cat: to search in Categories eg. cat:news</span>. Pressing
      <kbd>Enter</kbd> while a tip is shown searches for nothing.</li>
  </ul>

  <h2 id="order">Most Popular and Most Recent</h2>
  <p>The two choices under the search box decide the order of your results:</p>
  <dl>
    <dt>Most Recent (chosen when Zorvex starts)</dt>
    <dd>Newest videos first.</dd>
    <dt>Most Popular</dt>
    <dd>The best matches for your words first.</dd>
  </dl>
  <p>Changing the choice does not repeat the search you already have: press <kbd>Enter</kbd> or the
    search button again to search in the new order.</p>

  <h2 id="play">Playing videos</h2>
  <p>Click a picture (or double-click a line on <span class="ui">All Videos</span>) and the video plays in the
    video area. The information panel shows what is playing, with a <span class="ui">Visit Site:</span> link
    that opens the video's web site in your web browser.</p>
  <p>The control bar under the video has:</p>
  <table>
    <tr><th>Control</th><th>What it does</th></tr>
    <tr><td>Play</td><td>continues a paused or stopped video</td></tr>
    <tr><td>Pause</td><td>pauses; press it again to continue</td></tr>
    <tr><td>Stop</td><td>stops the video</td></tr>
    <tr><td>Position slider</td><td>shows how far the video has played; drag it to jump</td></tr>
    <tr><td>Volume slider</td><td>sets the loudness</td></tr>
    <tr><td>Time and percentage</td><td>the time played (minutes : seconds) and how much of the video that is</td></tr>
    <tr><td>Status</td><td><span class="ui">Loading..</span>, <span class="ui">Buffering..</span>,
      <span class="ui">Playing</span>, <span class="ui">Paused</span>, <span class="ui">Stopped</span>
      and so on</td></tr>
    <tr><td>Fullscreen</td><td>shows the video on the whole screen</td></tr>
  </table>
  <p>While a video is loading, a small animation runs in the control bar and the buttons wait until it is done.
    <span class="ui">Close Video</span> in the right-click menu of the pages closes the player.</p>

  <h2 id="float">Float mode and full screen</h2>
  <p>Once a video plays, the <span class="ui">Float Mode</span> and <span class="ui">Fullscreen</span> buttons
    in the information panel are available.</p>
  <h3>Float mode</h3>
  <p>The window shrinks to a small video window without a frame that stays on top of your other programs.</p>
  <ul>
    <li>Drag the video with the left mouse button to move it anywhere on the desktop.</li>
    <li>Drag the grips at the bottom corners of the control bar to make it larger or smaller.</li>
    <li>Move the mouse over the video and the control bar appears; a moment later it slides away by itself.</li>
    <li>Zorvex remembers where you left the floating video and its size, for the next time.</li>
  </ul>
  <h3>Full screen</h3>
  <p>The video covers the whole screen. Move the mouse to bring back the control bar and the pointer; both
    disappear again when you leave the mouse alone.</p>
  <h3>Back to the main window</h3>
  <p>Click the <span class="ui">Main Screen</span> button in the control bar, or <strong>right-click</strong>
    the video for the menu <span class="ui">Full Screen</span>, <span class="ui">Float Screen</span> and
    <span class="ui">Main Screen</span>. The main window comes back where it was.</p>

  <h2 id="bookmarks">Bookmarks</h2>
  <p>Bookmarks are your own list of videos to watch again. They are kept on your computer, so they also
    work when Zorvex is offline.</p>
  <h3>Adding a bookmark</h3>
  <ul>
    <li>Click <span class="ui">Bookmark</span> in the information panel to keep the video that is playing, or</li>
    <li>right-click a picture, or click a line on <span class="ui">All Videos</span>, and choose
      <span class="ui">Add to Bookmarks</span>.</li>
  </ul>
  <p>Zorvex asks <span class="ui">Do you want to insert bookmark?</span>; click <span class="ui">OK</span>.
    The side bar then opens on the <span class="ui">Bookmarks</span> tab at its last page, where the new
    bookmark is. A video you have already kept is not added twice; Zorvex tells you it is already in your
    bookmarks.</p>
  <h3>Seeing and using your bookmarks</h3>
  <p>Click <span class="ui">Favorites</span>, or choose the <span class="ui">Bookmarks</span> tab of the side bar.
    Bookmarks are shown sixteen at a time, the oldest first; the arrows at the top of the tab turn the pages.
    Point at a bookmark to see its details and click it to play.</p>
  <h3>Deleting</h3>
  <p>Right-click a bookmark and choose <span class="ui">Delete Bookmark</span> (it is deleted at once) or
    <span class="ui">Delete All Bookmarks</span> (Zorvex asks first).</p>

  <h2 id="web">Web pages and web searches</h2>
  <dl>
    <dt>My Web Browser</dt>
    <dd>A small web browser inside Zorvex. Type an address in the box and press <kbd>Enter</kbd> or the go
      button; the other buttons go back, forward, reload and home. <span class="ui">Show Video Libary</span>
      takes you to the <span class="ui">All Videos</span> page. A link that would open a new window opens
      in the same place.</dd>
    <dt>Latest Web News</dt>
    <dd>The news page of Trevalo, the maker of Zorvex, with its own address box, home, back, forward and
      reload buttons.</dd>
    <dt>Web searches</dt>
    <dd>Press the mouse button on <span class="ui">Web News</span> in the information panel for a menu that
      searches the web for the words in the search box: <span class="ui">Search Trevalo News</span>,
      <span class="ui">Search Trevalo PodCasts</span>, <span class="ui">Search Google</span>,
      <span class="ui">Search MSN</span> and <span class="ui">Search Yahoo</span>. The results open in your
      own web browser, and the video switches to float mode so that it keeps playing on top.</dd>
  </dl>
  <p>Each of these pages is loaded the first time you open its tab; after that, Zorvex keeps the page you
    reached.</p>

  <h2 id="offline">Working offline</h2>
  <p>Without a connection to the Zorvex catalogue, Zorvex works offline. Only the
    <span class="ui">Zorvex Support</span> page and the <span class="ui">Bookmarks</span> tab are shown; the
    search box and the search and <span class="ui">Web News</span> buttons are switched off, and the
    information panel says <span class="ui">Zorvex is running in Offline Mode</span>.</p>
  <p>Switch at any time with the <span class="ui">File</span> menu: <span class="ui">Zorvex: Online</span>
    connects and loads the topics and categories again; <span class="ui">Zorvex: Offline</span> goes back.</p>

  <h2 id="local">Your own files and live TV</h2>
  <p><span class="ui">Local Media &rsaquo; Open Local Media</span> plays a video or sound file from your
    computer. Windows Media files (<code>.wmv</code>, <code>.asf</code>, <code>.wma</code>) are played.
    The <span class="ui">Live TV</span> menu plays the live TV channel.</p>

  <h2 id="keys">Mouse and keyboard summary</h2>
  <table>
    <tr><th>Where</th><th>Do this</th><th>To</th></tr>
    <tr><td>a picture</td><td>point / click / right-click</td><td>see its details / play it / get its menu</td></tr>
    <tr><td>arrow strips</td><td>click</td><td>turn the page</td></tr>
    <tr><td>topic buttons</td><td>click</td><td>show a topic from its first page</td></tr>
    <tr><td>category tree</td><td>double-click</td><td>show the category's videos</td></tr>
    <tr><td>search box</td><td><kbd>Enter</kbd></td><td>search the picture library</td></tr>
    <tr><td>All Videos list</td><td>double-click / click</td><td>play / get the menu</td></tr>
    <tr><td>floating or full-screen video</td><td>move the mouse / right-click</td><td>show the control bar / choose a window mode</td></tr>
    <tr><td>floating video</td><td>drag</td><td>move it</td></tr>
    <tr><td>start-up window</td><td><kbd>Enter</kbd></td><td>open the main window</td></tr>
  </table>
  <p class="muted">Something not working? See <a href="/player/support.php">Zorvex Support</a>.</p>
</main>
<footer>
  Zorvex Video Browser 2.1 &middot; <a href="mailto:support@zorvex.example">support@zorvex.example</a><br>
  This copy of the Zorvex site is served from your own computer.
</footer>
</body>
</html>
