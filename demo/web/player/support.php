<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Zorvex Support</title>
<link rel="stylesheet" href="/site.css">
<style>
  .contact { display: flex; flex-wrap: wrap; gap: 14px; align-items: center; justify-content: space-between; }
  .steps li { margin: 6px 0; }
  .faq h3 { margin-top: 22px; }
  .bad { color: var(--bad); font-weight: 600; }
  .good { color: var(--good); font-weight: 600; }
</style>
</head>
<body>
<header class="top">
  <a class="brand" href="/"><svg viewBox="0 0 64 64" aria-hidden="true"><defs><linearGradient id="zg" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="#38bdf8"/><stop offset="1" stop-color="#6366f1"/></linearGradient></defs><rect x="4" y="10" width="56" height="40" rx="9" fill="url(#zg)"/><rect x="22" y="52" width="20" height="4" rx="2" fill="#334155"/><path d="M27 20 L43 30 L27 40 Z" fill="#fff"/></svg> Zorvex <small>Video Browser</small></a>
  <nav>
    <a href="/">Home</a>
    <a href="/player/manual.php">User Guide</a>
    <a class="here" href="/player/support.php">Support</a>
    <a href="/help/connection.html">Connection Help</a>
    <a href="/vp/vp.php">Web News</a>
  </nav>
</header>
<main>
<h1>Zorvex Support</h1>
  <p class="lead">Help with connecting to the catalogue, firewalls, working offline and your bookmarks.</p>

  <div class="card contact">
    <div>
      <strong>Write to us</strong><br>
      <a href="mailto:support@zorvex.example">support@zorvex.example</a>
      <span class="muted">&mdash; tell us what the start-up window showed and any message Zorvex gave.</span>
    </div>
    <a href="/player/manual.php">Open the User Guide &rsaquo;</a>
  </div>

  <h2 id="connection">Zorvex cannot reach the catalogue</h2>
  <p>Everything Zorvex shows online &mdash; topics, categories, pictures, search results &mdash; comes from the
    Zorvex catalogue server. The start-up window checks the way there:</p>
  <table>
    <tr><th>The start-up window shows</th><th>It means</th></tr>
    <tr><td><span class="good">Checking Internet on Port 80....OK</span><br>
      <span class="good">Checking Internet on Port 3306...OK</span></td>
      <td>Your computer and the catalogue server both answered. All is well.</td></tr>
    <tr><td>The lines keep their text without <span class="ui">OK</span></td>
      <td>No answers came back, often because a firewall drops these check messages. That alone is no
        problem: Zorvex goes on and loads the catalogue.</td></tr>
    <tr><td><span class="bad">Check Internet Connection</span><br><span class="bad">No Connection to Zorvex Server</span></td>
      <td>The check could not even be sent: the catalogue server's name is not known, there is no network,
        or your system does not let programs send such check messages. Zorvex then asks whether to
        <span class="ui">Work Online</span> or <span class="ui">Work Offline</span>.</td></tr>
    <tr><td>An error message, and <span class="ui">Continue</span> stays grey</td>
      <td>The catalogue could not be loaded; the message says why. Press <kbd>Enter</kbd> to go on anyway,
        and choose <span class="ui">File &rsaquo; Zorvex: Online</span> once the problem is solved.</td></tr>
  </table>

  <h3>What to try</h3>
  <ol class="steps">
    <li>Check that your computer is connected: open any web page in your browser.</li>
    <li>Choose <span class="ui">Work Online</span> when Zorvex asks. If the check messages are only blocked,
      the catalogue loads normally.</li>
    <li>Let Zorvex through your firewall: it needs outgoing connections to the catalogue server on TCP port
      <strong>3306</strong>. See <a href="/help/connection.html">Connection Problems and Firewalls</a>.</li>
    <li>Check the catalogue settings in <code>zorvex.ini</code> (next to the program), section
      <code>[catalogue]</code>: <code>host</code>, <code>port</code>, <code>user</code> and
      <code>password</code>. A message such as <em>Access denied for user</em> means the account or password
      is wrong; <em>Can't connect to server</em> means nothing answered on that host and port.</li>
    <li>Once the connection works, choose <span class="ui">File &rsaquo; Zorvex: Online</span>: no need to
      restart Zorvex.</li>
  </ol>

  <h2 id="firewall">Firewalls</h2>
  <p>Zorvex needs three kinds of outgoing traffic. Only the first is essential.</p>
  <table>
    <tr><th>What</th><th>Where to</th><th>Needed for</th></tr>
    <tr><td>TCP port 3306</td><td>the catalogue server</td><td>everything online: topics, categories, searches, pictures</td></tr>
    <tr><td>TCP port 80 (and 443)</td><td>web sites</td><td>videos hosted on web sites, the pages inside Zorvex, web searches</td></tr>
    <tr><td>Echo requests (ping)</td><td>the catalogue server</td><td>the start-up check only</td></tr>
  </table>
  <p>Company and school networks often block port 3306. Ask your network administrator to allow it to the
    catalogue server, or use Zorvex at home. A web proxy does not help: the catalogue connection does not
    go through proxies. Details and examples are on
    <a href="/help/connection.html">Connection Problems and Firewalls</a>.</p>

  <h2 id="offline">Offline mode</h2>
  <p>Offline, Zorvex does not use the catalogue at all. You keep:</p>
  <ul>
    <li>this <span class="ui">Zorvex Support</span> page,</li>
    <li>the <span class="ui">Bookmarks</span> tab of the side bar, with all your bookmarks,</li>
    <li><span class="ui">Local Media</span> for video files on your computer.</li>
  </ul>
  <p>The search box, the topic pages, the categories and the web pages are not available, and the
    information panel says <span class="ui">Zorvex is running in Offline Mode</span>. Choose
    <span class="ui">File &rsaquo; Zorvex: Online</span> to connect again, or
    <span class="ui">File &rsaquo; Zorvex: Offline</span> to stop using the network at any time.</p>

  <h2 id="bookmarks">Where your bookmarks are kept</h2>
  <p>Bookmarks never leave your computer. They are stored in a small database in the <code>Data</code> folder
    of Zorvex's working folder (the folder Zorvex runs in), in the table <code>Bookmark</code>: for each video
    its title, description, site, the link that plays it, the time you added it and its picture.</p>
  <ul>
    <li><strong>Back them up</strong>: close Zorvex and copy the <code>Data</code> folder.</li>
    <li><strong>Move them</strong> to another computer: copy the <code>Data</code> folder into Zorvex's working
      folder there, with Zorvex closed.</li>
    <li>The files <code>book1.jpg</code> to <code>book16.jpg</code> beside it are only the pictures of the
      page shown last; Zorvex writes them again each time.</li>
  </ul>
  <div class="note warn"><p>A message <em>Unknown database 'Data'</em> at your first bookmark means the working
    folder was never prepared. Installing Zorvex prepares it; with the command line, run
    <code>scripts/prepare-workdir DIR</code> for the folder Zorvex runs in. Existing bookmarks are kept.</p></div>

  <div class="faq">
  <h2 id="more">Other questions</h2>
  <h3>A video stays at &ldquo;Loading..&rdquo;</h3>
  <p>The site that hosts the video may be slow or may have removed it. Stop it and try another video. For your
    own files, Zorvex plays Windows Media files (<code>.wmv</code>, <code>.asf</code>, <code>.wma</code>).</p>
  <h3>The pages inside Zorvex say the site can't be reached</h3>
  <p>The start page, this support page, the User Guide and the news page come from the Zorvex web site.
    In this installation the site is served from your own computer; start it with
    <code>scripts/demo-web start</code>. Its address is set in <code>zorvex.ini</code>, section
    <code>[sites]</code>.</p>
  <h3>The Float Mode and Fullscreen buttons are grey</h3>
  <p>They become available when a video plays.</p>
  <h3>The side bar is empty</h3>
  <p>The <span class="ui">World</span> and <span class="ui">Aus News</span> tabs fill when Zorvex is online
    and the side bar slides out. Offline, only <span class="ui">Bookmarks</span> is there.</p>
  </div>
</main>
<footer>
  Zorvex Video Browser 2.1 &middot; <a href="mailto:support@zorvex.example">support@zorvex.example</a><br>
  This copy of the Zorvex site is served from your own computer.
</footer>
</body>
</html>
