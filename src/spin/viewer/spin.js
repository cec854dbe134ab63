// A 360-degree viewer: preloads the frames, then turns the object by mouse
// drag, touch swipe and the arrow keys. It plays a turn on its own until
// the first touch. No libraries; works from the disk and from a web server.
(function () {
  "use strict";

  function Viewer(root) {
    var count = Number(root.getAttribute("data-frames"));
    var folder = root.getAttribute("data-folder");
    var turnMs = Number(root.getAttribute("data-turn-ms")) || 6000;
    var picture = root.querySelector("img");
    var bar = root.querySelector("progress");
    var status = root.querySelector(".status");
    var frames = [];
    var loaded = 0;
    var failed = false;
    var current = 0;
    var autoplay = null;
    var drag = null;

    function show(index) {
      current = ((index % count) + count) % count;
      picture.src = frames[current].src;
      root.setAttribute("aria-valuenow", String(current + 1));
      root.setAttribute("aria-valuetext", "Frame " + (current + 1) + " of " + count);
    }

    function stopAutoplay() {
      if (autoplay !== null) {
        clearInterval(autoplay);
        autoplay = null;
      }
    }

    function ready() {
      root.setAttribute("aria-busy", "false");
      show(0);
      if (autoplay === null && !root.hasAttribute("data-touched")) {
        autoplay = setInterval(function () { show(current + 1); }, Math.max(20, turnMs / count));
      }
    }

    function arrived() {
      loaded += 1;
      bar.value = loaded;
      status.textContent = "Loading " + loaded + " of " + count;
      if (loaded === count && !failed) {
        ready();
      }
    }

    function missing(event) {
      failed = true;
      status.textContent = "The frame " + event.target.getAttribute("src") + " could not be loaded.";
    }

    // The first touch of any kind stops the autoplay for good.
    function touched() {
      root.setAttribute("data-touched", "");
      stopAutoplay();
    }

    for (var i = 1; i <= count; i += 1) {
      var image = new Image();
      image.onload = arrived;
      image.onerror = missing;
      image.src = folder + "/" + i + ".jpg";
      frames.push(image);
    }

    // Dragging across the whole picture turns the object once round.
    root.addEventListener("pointerdown", function (event) {
      touched();
      // The default action is prevented below, and with it the focus a
      // click would give: the arrow keys must work after a drag too.
      root.focus({ preventScroll: true });
      if (loaded !== count || event.button > 0) {
        return;
      }
      drag = { x: event.clientX, from: current, id: event.pointerId };
      root.classList.add("dragging");
      root.setPointerCapture(event.pointerId);
      event.preventDefault();
    });
    root.addEventListener("pointermove", function (event) {
      if (drag === null || event.pointerId !== drag.id) {
        return;
      }
      var step = Math.max(1, root.clientWidth / count);
      show(drag.from + Math.round((event.clientX - drag.x) / step));
    });
    function endDrag(event) {
      if (drag !== null && event.pointerId === drag.id) {
        drag = null;
        root.classList.remove("dragging");
      }
    }
    root.addEventListener("pointerup", endDrag);
    root.addEventListener("pointercancel", endDrag);

    root.addEventListener("keydown", function (event) {
      var moves = { ArrowRight: 1, ArrowUp: 1, ArrowLeft: -1, ArrowDown: -1 };
      touched();
      if (loaded !== count) {
        return;
      }
      if (event.key in moves) {
        show(current + moves[event.key]);
      } else if (event.key === "Home") {
        show(0);
      } else if (event.key === "End") {
        show(count - 1);
      } else {
        return;
      }
      event.preventDefault();
    });
  }

  var viewers = document.querySelectorAll(".spin");
  for (var v = 0; v < viewers.length; v += 1) {
    Viewer(viewers[v]);
  }
})();
