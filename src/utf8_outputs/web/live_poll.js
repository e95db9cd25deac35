// A watching run's page (its data says live) follows live.js, a one-line
// script the run rewrites beside it: every few seconds a fresh <script>
// element loads it and it calls ledgerwiseLive; another generation reloads
// the page, the address keeping what the player was looking at. A file that
// is missing for a moment just waits for the next look. A one-shot run's page
// never asks for live.js.
const LIVE_POLL_MS = 3000;
function followLive() {
  if (!data.live) return;
  $('live-badge').hidden = false;
  let script = null, reloading = false;
  window.ledgerwiseLive = (info) => {
    if (typeof info?.updated === 'string') $('live-updated').textContent = `${info.updated} 更新`;
    if (reloading || typeof info?.generation !== 'string' || info.generation === data.live.generation) return;
    reloading = true;
    saveState();
    location.reload();
  };
  const look = () => {
    script?.remove();
    script = document.createElement('script');
    script.src = `live.js?${Date.now()}`;
    document.head.append(script);
  };
  look();
  setInterval(look, LIVE_POLL_MS);
}
